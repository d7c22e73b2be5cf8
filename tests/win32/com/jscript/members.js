// Members called by name with wrong argument counts and types, and the members that keep
// lists for the page.

// Call, expected error number.
var wrongCalls = [
  ["AddPostData with one argument", function () { control.AddPostData("a"); }, 449],
  ["AddPostData with three", function () { control.AddPostData("a", "b", "c"); }, 450],
  ["Submit with an argument", function () { control.Submit(1); }, 450],
  ["AddDownloadFile size as text", function () { control.AddDownloadFile("a.txt", "큼"); }, 13],
  ["AddUploadedFile size too large", function () { control.AddUploadedFile("a", 1e10); }, 6],
  ["AddUploadedFile without size", function () { control.AddUploadedFile("a"); }, 449],
  ["URLEncode without text", function () { control.URLEncode(); }, 449],
  ["RegiDeleteKey HKey as text", function () { control.RegiDeleteKey("HKCU", "x"); }, 13],
  ["RegiSaveString with three", function () { control.RegiSaveString(0, "a", "b"); }, 449],
  ["GetUploadedFiles with one", function () { control.GetUploadedFiles(0); }, 450],
  ["URLDecode with an object that has no value", function () { control.URLDecode(control); }, 13],
  ["URLEncode with null", function () { control.URLEncode(null); }, 13]
];
for (var i = 0; i < wrongCalls.length; ++i) {
  checkError(wrongCalls[i][0], wrongCalls[i][1], wrongCalls[i][2]);
}

// A name the type library does not have fails in the script engine itself.
check("unknown member", errorOf(function () { control.NoSuchMember(); }) !== null, true);

// The page's lists: server files end with "<", and the queue lists them as rows.
control.MaxFileCount = 10;
control.AddUploadedFile("보고서.hwp", 2048);
control.AddUploadedFile("사진 1.jpg", 10);
check("GetUploadedFiles", control.GetUploadedFiles(), "보고서.hwp<사진 1.jpg<");
check("CurrentFileCount", control.CurrentFileCount, 2);
check("GetUploadingFiles", control.GetUploadingFiles(), "보고서.hwp<사진 1.jpg<");
check("GetDeletedFiles", control.GetDeletedFiles(), "");

// Member names are not case-sensitive, as in every script host.
check("lower-case name", control.engtitlever, kEngineTitle);
check("CheckDupFile", control.CheckDupFile(), false);

finish();
