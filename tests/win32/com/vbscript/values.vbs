' What VBScript hands the control and reads back where JScript differs: small literals as
' 16-bit integers and larger ones as 32-bit, Empty and Null, text that looks like a number,
' Booleans as -1, currency and single precision, arguments passed by reference, calls
' without parentheses, missing and extra arguments, the types the members return, and Korean
' text both ways. (Wine's VBScript has no Execute or Eval, so each case is its own lines.)

' Readers return the type library's types: Integer for 16-bit members, Long for 32-bit ones.
Check "VarType MaxFileCount", VarType(control.MaxFileCount), vbInteger
Check "VarType ServerPort", VarType(control.ServerPort), vbInteger
Check "VarType MaxFileSize", VarType(control.MaxFileSize), vbLong
Check "VarType BufferSize", VarType(control.BufferSize), vbLong
Check "VarType HostName", VarType(control.HostName), vbString
Check "VarType CheckDupFile", VarType(control.CheckDupFile()), vbBoolean
Check "start-up ServerPort", control.ServerPort, 80
Check "start-up BufferSize", control.BufferSize, CLng(8192)

' A write, then the value read back.
control.MaxFileCount = 5
Check "control.MaxFileCount = 5", control.MaxFileCount, 5
control.MaxFileCount = CLng(7)
Check "control.MaxFileCount = CLng(7)", control.MaxFileCount, 7
control.MaxFileCount = CByte(200)
Check "control.MaxFileCount = CByte(200)", control.MaxFileCount, 200
control.MaxFileCount = "12"
Check "control.MaxFileCount = ""12""", control.MaxFileCount, 12
control.MaxFileCount = " 9 "
Check "control.MaxFileCount = "" 9 """, control.MaxFileCount, 9
control.MaxFileCount = CCur(2.5)
Check "control.MaxFileCount = CCur(2.5)", control.MaxFileCount, 2
control.MaxFileCount = CSng(3.5)
Check "control.MaxFileCount = CSng(3.5)", control.MaxFileCount, 4
control.MaxFileCount = True
Check "control.MaxFileCount = True", control.MaxFileCount, -1
control.MaxFileCount = Empty
Check "control.MaxFileCount = Empty", control.MaxFileCount, 0
control.ServerPort = 32767
Check "control.ServerPort = 32767", control.ServerPort, 32767
control.ServerPort = -32768
Check "control.ServerPort = -32768", control.ServerPort, CInt(-32768)
control.UnitFileSize = 7
Check "control.UnitFileSize = 7", control.UnitFileSize, CLng(7)
control.UnitFileSize = 2147483647
Check "control.UnitFileSize = 2147483647", control.UnitFileSize, CLng(2147483647)
control.MaxFileSize = 40000
Check "control.MaxFileSize = 40000", control.MaxFileSize, CLng(40000)
control.BufferSize = "65536"
Check "control.BufferSize = ""65536""", control.BufferSize, CLng(65536)
control.HostName = 8080
Check "control.HostName = 8080", control.HostName, "8080"
control.HostName = True
Check "control.HostName = True", control.HostName, "True"
control.HostName = Empty
Check "control.HostName = Empty", control.HostName, ""
control.FilePrefix = "첨부"
Check "control.FilePrefix = ""첨부""", control.FilePrefix, "첨부"
control.PaddingZero = 1
Check "control.PaddingZero = 1", control.PaddingZero, "1"

' 16-bit properties overflow past 32767 (a VBScript Long literal); text that is no number and
' Null are type mismatches; missing and extra arguments, too large a size, a read-only member.
control.ServerPort = 32768
CheckError "control.ServerPort = 32768", 6
control.ServerPort = 40000
CheckError "control.ServerPort = 40000", 6
control.MaxFileCount = -32769
CheckError "control.MaxFileCount = -32769", 6
control.MaxFileCount = CDbl(32767.5)
CheckError "control.MaxFileCount = CDbl(32767.5)", 6
control.UnitFileSize = 2147483648
CheckError "control.UnitFileSize = 2147483648", 6
control.MaxFileCount = "열"
CheckError "control.MaxFileCount = ""열""", 13
control.MaxFileCount = Null
CheckError "control.MaxFileCount = Null", 13
control.HostName = Null
CheckError "control.HostName = Null", 13
control.BufferSize = ""
CheckError "control.BufferSize = """"", 13
control.URLEncode Null
CheckError "control.URLEncode Null", 13
control.AddPostData "a"
CheckError "control.AddPostData ""a""", 449
control.AddPostData "a", "b", "c"
CheckError "control.AddPostData ""a"", ""b"", ""c""", 450
control.Submit 1
CheckError "control.Submit 1", 450
control.AddUploadedFile "a"
CheckError "control.AddUploadedFile ""a""", 449
control.AddUploadedFile "a", 1E10
CheckError "control.AddUploadedFile ""a"", 1E10", 6
control.Boundary = "x"
CheckError "control.Boundary = ""x""", 438
' A refused write leaves the value as it was.
Check "ServerPort after the overflows", control.ServerPort, CInt(-32768)

' Arguments by reference (VBScript passes a variable as a reference to it), with and without
' parentheses.
Dim fileName, fileSize
control.MaxFileCount = 10
fileName = "보고서.hwp"
fileSize = 2048
control.AddUploadedFile fileName, fileSize
Call control.AddUploadedFile("사진 1.jpg", CLng(10))
Check "GetUploadedFiles", control.GetUploadedFiles(), "보고서.hwp<사진 1.jpg<"
Check "CurrentFileCount", control.CurrentFileCount, 2
Check "argument left as it was", fileName, "보고서.hwp"

' URLDecode's argument is passed by reference; the decoded text comes back as the result.
Dim escaped
escaped = "%C7%D1%B1%DB"
Check "URLDecode of a variable", control.URLDecode(escaped), "한글"
Check "URLEncode of Korean text", control.URLEncode("한글"), "%C7D1%B1DB"
Check "URLEncode of a number", control.URLEncode(100), "100"

' The version-dependent ProgID names the same class.
Dim second
Set second = WScript.CreateObject("VeldraskUploader.UploaderControl.1")
Check "second control's EngTitleVer", second.EngTitleVer, kEngineTitle
Set second = Nothing

Finish
