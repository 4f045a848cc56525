del /f /s /a /q "%USERPROFILE%\Cookies\*.*" 
del %0