// The registry methods against the real registry, read back through the shell's own
// registry access; their results are status codes, never errors.

var kCurrentUser = -2147483647;  // HKEY_CURRENT_USER (&H80000001) as a signed 32-bit value
var kPath = "Software\\VeldraskUploaderTest";
var shell = new ActiveXObject("WScript.Shell");

function readBack(name) {
  try {
    return shell.RegRead("HKCU\\" + kPath + "\\" + name);
  } catch (e) {
    return null;
  }
}

// Name, data: each saved and read back with Korean names and data.
var values = [["이름", "값"], ["DownPath", "C:\\내 문서\\받은 파일"], ["빈 값", ""]];
for (var i = 0; i < values.length; ++i) {
  check("RegiSaveString " + values[i][0],
        control.RegiSaveString(kCurrentUser, kPath, values[i][0], values[i][1]), 0);
  check("read back " + values[i][0], readBack(values[i][0]), values[i][1]);
}

check("RegiDeleteValue", control.RegiDeleteValue(kCurrentUser, kPath, "이름"), 0);
check("deleted value is gone", readBack("이름"), null);
check("RegiDeleteValue of a missing value", control.RegiDeleteValue(kCurrentUser, kPath, "이름"),
      2);
// The delete then runs on the key that could not be opened: an invalid handle.
check("RegiDeleteValue under a missing key",
      control.RegiDeleteValue(kCurrentUser, kPath + "\\없음", "x"), 6);

check("RegiDeleteKey", control.RegiDeleteKey(kCurrentUser, kPath), 0);
check("deleted key is gone", readBack("DownPath"), null);
check("RegiDeleteKey of a missing key", control.RegiDeleteKey(kCurrentUser, kPath), 2);
check("RegiSaveString under no hive", control.RegiSaveString(12345, kPath, "a", "b") !== 0, true);

finish();
