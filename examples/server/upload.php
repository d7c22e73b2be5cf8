<?php
// POST /upload.php: stores every file of the control's upload under its own name and answers
// with a short summary, which the control hands to the page (and veldrask prints).
require_once __DIR__ . '/common.php';

if ($_SERVER['REQUEST_METHOD'] !== 'POST') {
    reply(405, "POST the files here.\n");
    return;
}

$lines = [];
foreach ($_FILES as $file) {
    $name = safe_name(from_wire($file['name']));
    if ($file['error'] !== UPLOAD_ERR_OK || $name === '') {
        $lines[] = "거부: {$name} (오류 {$file['error']})";
        continue;
    }
    move_uploaded_file($file['tmp_name'], store_dir() . '/' . $name);
    $lines[] = "저장: {$name} (" . filesize(store_dir() . '/' . $name) . ' bytes)';
}
foreach ($_POST as $field => $value) {
    $lines[] = '항목: ' . from_wire((string)$field) . ' = ' . from_wire((string)$value);
}
reply(200, implode("\n", $lines) . "\n");
