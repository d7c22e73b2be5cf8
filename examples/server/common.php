<?php
// What the demo server's pages share: where files are kept and how names travel.
//
// The control speaks the Korean code page (CP949) on the wire: file names and form values in
// an upload, and the percent-encoded paths it asks for in a download. The server keeps names
// as UTF-8 on disk and converts at that boundary.

// The folder uploads go to: $DEMO_STORE, or uploads/ beside this file.
function store_dir(): string
{
    $dir = getenv('DEMO_STORE') ?: __DIR__ . '/uploads';
    if (!is_dir($dir)) {
        mkdir($dir, 0777, true);
    }
    return rtrim($dir, '/');
}

// Bytes from the control as UTF-8: text that is not valid UTF-8 is CP949.
function from_wire(string $bytes): string
{
    if (preg_match('//u', $bytes) === 1) {
        return $bytes;
    }
    $text = iconv('CP949', 'UTF-8//IGNORE', $bytes);
    return $text === false ? '' : $text;
}

// A UTF-8 name as the control expects it in a path: CP949 bytes, percent-encoded.
function to_wire_path(string $name): string
{
    $bytes = iconv('UTF-8', 'CP949//TRANSLIT', $name);
    return rawurlencode($bytes === false ? $name : $bytes);
}

// The last path segment of a name, or '' for a name that could climb out of the store.
function safe_name(string $name): string
{
    $name = basename(str_replace('\\', '/', $name));
    return ($name === '.' || $name === '..') ? '' : $name;
}

function reply(int $status, string $text): void
{
    http_response_code($status);
    header('Content-Type: text/plain; charset=utf-8');
    header('Content-Length: ' . strlen($text));
    echo $text;
}
