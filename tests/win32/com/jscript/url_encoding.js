// URLEncode and URLDecode with Korean text: the escapes are codes of the ANSI code page
// (949 in the test prefix).

// Text, URLEncode(text).
var encodings = [
  ["한글", "%C7D1%B1DB"], ["a b", "a+b"], ["A1z", "A1z"], ["가/나", "%B0A1%2F%B3AA"],
  ["100%", "100%25"], ["", ""]
];
for (var i = 0; i < encodings.length; ++i) {
  check("URLEncode " + show(encodings[i][0]), control.URLEncode(encodings[i][0]), encodings[i][1]);
}

// Escaped text, URLDecode(text).
var decodings = [
  ["%C7%D1%B1%DB", "한글"], ["a+b", "a+b"], ["%41%42", "AB"],
  ["파일%20이름", "파일 이름"]
];
for (var j = 0; j < decodings.length; ++j) {
  check("URLDecode " + show(decodings[j][0]), control.URLDecode(decodings[j][0]), decodings[j][1]);
}

// A "%" that ends the text is no escape.
checkError("URLDecode of a lone %", function () { control.URLDecode("%"); }, 13);

finish();
