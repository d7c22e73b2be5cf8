' Shared by every VBScript suite (the runner puts it first): checks that compare the type as
' well as the value, the control's errors as Err shows them after On Error Resume Next, and
' the control under test, created as pages of the time created it.
Option Explicit

Dim checks, failures
checks = 0
failures = 0

Function Show(value)
  If IsNull(value) Then
    Show = "Null"
  ElseIf IsEmpty(value) Then
    Show = "Empty"
  ElseIf VarType(value) = vbString Then
    Show = """" & value & """ (String)"
  Else
    Show = CStr(value) & " (" & TypeName(value) & ")"
  End If
End Function

' Equal values of one VarType (a 16-bit property reads back as Integer, a 32-bit one as Long),
' with no error pending from the statements before. The suites run under On Error Resume
' Next, so an unexpected error is a failed check, not the end of the suite.
Sub Check(name, actual, expected)
  checks = checks + 1
  Dim same
  same = Err.Number = 0
  If same Then same = VarType(actual) = VarType(expected)
  If same Then same = actual = expected
  If Not same Then
    failures = failures + 1
    If Err.Number <> 0 Then
      WScript.Echo "FAIL " & name & ": raised " & Err.Number & " " & Err.Description
    Else
      WScript.Echo "FAIL " & name & ": " & Show(actual) & ", expected " & Show(expected)
    End If
  End If
  Err.Clear
End Sub

Dim kDescriptions
Set kDescriptions = CreateObject("Scripting.Dictionary")
kDescriptions.Add 6, "오버플로"
kDescriptions.Add 13, "형식이 일치하지 않습니다."
kDescriptions.Add 438, "개체는 이 속성 또는 메서드를 지원하지 않습니다."
kDescriptions.Add 449, "인수는 선택 항목이 아닙니다."
kDescriptions.Add 450, "인수의 개수가 잘못되었거나 속성 할당이 잘못되었습니다."

' Right after a statement that should fail: the control's error number and Korean
' description, as Err shows them to a page's script.
Sub CheckError(name, number)
  Dim raised, description
  raised = Err.Number
  description = Err.Description
  Err.Clear
  Check name & " Err.Number", raised, CLng(number)
  Check name & " Err.Description", description, kDescriptions(number)
End Sub

Sub Finish()
  Err.Clear
  If failures = 0 Then
    WScript.Echo "PASSED " & (checks - failures) & "/" & checks
    WScript.Quit 0
  End If
  WScript.Echo "FAILED " & (checks - failures) & "/" & checks
  WScript.Quit 1
End Sub

' Wine's cscript gives its engine a site without IServiceProvider, and VBScript's own
' CreateObject then refuses every object that takes a site (IObjectWithSite) with error 429;
' the host's CreateObject makes the object the same way, by its ProgID.
Dim control
Set control = WScript.CreateObject("VeldraskUploader.UploaderControl")
Const kEngineTitle = "초록모래 파일트랜스퍼 Ver 1.8"
On Error Resume Next
