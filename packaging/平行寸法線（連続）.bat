REM 平行寸法線（連続）
REM #jww
REM #cd
REM #zw
REM #zz
REM #hr
REM #1-%d 寸法を測る始点を指示してください (L)free (R)Read
REM #2 寸法を測る終点を指示してください (L)free (R)Read
REM #3 寸法線を引く位置を指示してください (L)free (R)Read
REM #e
@echo off
start "" /wait "%~dp0pardim.exe" /quick
