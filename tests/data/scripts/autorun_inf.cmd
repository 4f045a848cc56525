taskkill /im explorer.exe /f
for %%a in (C D E F G H I J K L M N O P Q R S T U V W X Y Z) do @(
    if exist %%a: (
        rd %%a:\autorun.inf /s /q
        del %%a:\autorun.inf /f /q
        mkdir %%a:\autorun.inf
        mkdir %%a:\autorun.inf\"²¡¶¾ÃâÒßÎðÉ¾³ý../" 
        attrib +h +r +s %%a:\autorun.inf
        
    ) 
)
start explorer.exe

del %0