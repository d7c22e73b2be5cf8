<?php
// GET /files/NAME: one stored file. NAME is percent-encoded CP949, as the control sends it
// (UTF-8 works too, for a browser).
require_once __DIR__ . '/common.php';

$encoded = substr(parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH), strlen('/files/'));
$name = safe_name(from_wire(rawurldecode($encoded)));
$path = store_dir() . '/' . $name;
if ($name === '' || !is_file($path)) {
    reply(404, "없는 파일입니다.\n");
    return;
}
header('Content-Type: application/octet-stream');
header('Content-Length: ' . filesize($path));
readfile($path);
