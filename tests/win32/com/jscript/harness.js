// Shared by every suite (the runner puts it first): checks, the control's errors as a script
// sees them, and the control under test.

var checks = 0;
var failures = 0;

function show(value) {
  if (typeof value === "string") return "\"" + value + "\"";
  return String(value) + " (" + typeof value + ")";
}

function check(name, actual, expected) {
  ++checks;
  if (actual !== expected) {
    ++failures;
    WScript.Echo("FAIL " + name + ": " + show(actual) + ", expected " + show(expected));
  }
}

// The error a call raises: its number in the scripting hosts' form (the low word of
// e.number under the control facility) and its description; null when it raises none.
function errorOf(call) {
  try {
    call();
  } catch (e) {
    return {number: e.number & 0xFFFF, facility: (e.number >> 16) & 0x1FFF,
            description: e.description};
  }
  return null;
}

var kFacilityControl = 10;
var kDescriptions = {
  6: "오버플로",
  13: "형식이 일치하지 않습니다.",
  438: "개체는 이 속성 또는 메서드를 지원하지 않습니다.",
  449: "인수는 선택 항목이 아닙니다.",
  450: "인수의 개수가 잘못되었거나 속성 할당이 잘못되었습니다."
};

function checkError(name, call, number) {
  var error = errorOf(call);
  ++checks;
  if (error === null) {
    ++failures;
    WScript.Echo("FAIL " + name + ": no error, expected " + number);
    return;
  }
  check(name + " number", error.number, number);
  check(name + " facility", error.facility, kFacilityControl);
  check(name + " description", error.description, kDescriptions[number]);
}

function finish() {
  WScript.Echo((failures === 0 ? "PASSED " : "FAILED ") + (checks - failures) + "/" + checks);
  WScript.Quit(failures === 0 ? 0 : 1);
}

var control = new ActiveXObject("VeldraskUploader.UploaderControl");
var kEngineTitle = "초록모래 파일트랜스퍼 Ver 1.8";
