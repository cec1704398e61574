REM 画像ファイルの参照を一覧します (Pikrotta)
@echo off
REM #jww
REM #cd
REM #hf
REM #h4
REM #g1
REM #e
start "" "%~dp0pikrotta.exe"
