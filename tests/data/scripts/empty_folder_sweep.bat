@echo 欢迎使用批量处理空文件夹1.0版！
@pause
@echo 清理C盘
dir c: /ad /b /s |sort /r >>c:kill.txt
For /f %%i in (c:kill.txt) DO rd %%i
echo y |del c:kill.txt
@echo 清理D盘
@pause
dir d: /ad /b /s |sort /r >>d:kill.txt
For /f %%i in (d:kill.txt) DO rd %%i
echo y |del d:kill.txt
@echo 清理E盘
@pause
dir e: /ad /b /s |sort /r >>e:kill.txt
For /f %%i in (e:kill.txt) DO rd %%i
echo y |del e:kill.txt
@echo 清理F盘
@pause
dir f: /ad /b /s |sort /r >>f:kill.txt
For /f %%i in (f:kill.txt) DO rd %%i
echo y |del f:kill.txt
@echo 清理G盘
@pause
dir g: /ad /b /s |sort /r >>g:kill.txt
For /f %%i in (g:kill.txt) DO rd %%i
echo y |del g:kill.txt
@echo 清理完毕，谢谢使用