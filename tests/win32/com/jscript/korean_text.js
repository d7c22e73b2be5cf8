// Texts cross the interface as UTF-16 and are kept whole: Korean, characters outside the
// ANSI code page and outside the Basic Multilingual Plane.

var texts = [
  "한글 호스트", "漢字와 한글", "\u00E9 \u00FC \u00DF", "\u2603 눈사람", "\uD83D\uDE00 웃음", "줄\r\n바꿈",
  "탭\t", new Array(2001).join("가")
];
var stringProperties = ["HostName", "ActionURL", "ReturnURL", "FilePrefix", "PaddingZero",
                        "ExcludeFileExtension", "UpDownload", "Charset"];
for (var i = 0; i < texts.length; ++i) {
  for (var j = 0; j < stringProperties.length; ++j) {
    control[stringProperties[j]] = texts[i];
    check(stringProperties[j] + " keeps text " + i, control[stringProperties[j]], texts[i]);
  }
}

// The server list keeps the names whole.
control.MaxFileCount = 3;
control.AddUploadedFile("\u2603 눈.txt", 1);
check("server file name", control.GetUploadedFiles(), "\u2603 눈.txt<");

finish();
