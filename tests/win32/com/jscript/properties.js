// Every property's reader and writer: the start-up values, what a writer stores, and the
// writers that compose or refuse.

// A control that no container loaded or initialised reads its start-up values.
var startUp = [
  ["MaxFileCount", 1], ["MaxFileSize", 1], ["UnitFileSize", 0], ["MainTitle", kEngineTitle],
  ["HostName", ""], ["ActionURL", ""], ["ReturnURL", ""], ["ServerPort", 80],
  ["FilePrefix", "file"], ["PaddingZero", "0"], ["ExcludeFileExtension", ""],
  ["BufferSize", 8192], ["UpDownload", "0"], ["EngTitleVer", kEngineTitle],
  ["UploadHTTPHeader", ""], ["UploadHTTPFormData", ""], ["CurrentFileCount", 0],
  ["HTTPResponseStatus", ""]
];
for (var i = 0; i < startUp.length; ++i) {
  check("start-up " + startUp[i][0], control[startUp[i][0]], startUp[i][1]);
}
check("Boundary length", control.Boundary.length, 32);

// Writer, value written, value read back (a text for an integer converts as a script host
// converts it: rounded, halves to even).
var roundTrips = [
  ["MaxFileCount", 5, 5], ["MaxFileCount", -3, -3], ["MaxFileCount", "12", 12],
  ["MaxFileCount", 2.5, 2], ["MaxFileCount", 3.5, 4], ["MaxFileCount", 32767, 32767],
  ["MaxFileSize", 0, 0], ["MaxFileSize", 2097151, 2097151], ["MaxFileSize", -2097152, -2097152],
  ["UnitFileSize", 7, 7], ["UnitFileSize", 2147483647, 2147483647],
  ["HostName", "example.test", "example.test"], ["ActionURL", "/up.php", "/up.php"],
  ["ReturnURL", "/done.html", "/done.html"], ["ServerPort", 8080, 8080],
  ["ServerPort", 32767, 32767], ["FilePrefix", "첨부", "첨부"], ["PaddingZero", "1", "1"],
  ["ExcludeFileExtension", "exe,com", "exe,com"], ["BufferSize", 0, 0],
  ["BufferSize", 65536, 65536], ["UpDownload", "1", "1"], ["UpDownload", " 0", " 0"],
  ["UpDownload", "0", "0"], ["Charset", "utf-8", "utf-8"], ["HostName", true, "True"]
];
for (var j = 0; j < roundTrips.length; ++j) {
  var row = roundTrips[j];
  control[row[0]] = row[1];
  check(row[0] + " = " + show(row[1]), control[row[0]], row[2]);
}

// MainTitle stores the text with the engine title in brackets, each time it is written.
control.MainTitle = "자료실";
check("MainTitle composed", control.MainTitle, "자료실 [" + kEngineTitle + "]");
control.MainTitle = control.MainTitle;
check("MainTitle written back", control.MainTitle,
      "자료실 [" + kEngineTitle + "] [" + kEngineTitle + "]");

// Writers that fail: the value is out of the property's range or no number at all.
var refusals = [
  ["MaxFileCount", 32768, 6], ["ServerPort", 40000, 6], ["MaxFileCount", "열", 13],
  ["BufferSize", "", 13], ["UnitFileSize", 2147483648, 6]
];
for (var k = 0; k < refusals.length; ++k) {
  var refused = refusals[k];
  checkError(refused[0] + " = " + show(refused[1]), function () {
    control[refused[0]] = refused[1];
  }, refused[2]);
}

// MaxFileSize above 2,097,151 is stored and then fails on the allowance (x 1024).
checkError("MaxFileSize = 2097152", function () { control.MaxFileSize = 2097152; }, 6);
check("MaxFileSize stored before the overflow", control.MaxFileSize, 2097152);

// Read-only and write-only members.
checkError("Boundary written", function () { control.Boundary = "x"; }, 438);
checkError("EngTitleVer written", function () { control.EngTitleVer = "x"; }, 438);
control.HTTPResponseData = "응답";
checkError("HTTPResponseData read", function () { return control.HTTPResponseData; }, 438);

finish();
