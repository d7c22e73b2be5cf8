<?php
// GET /list.php: the stored files, one per line as NAME:SIZE, NAME being the path the control
// downloads the file from. A page would pass each to AddDownloadFile; veldrask download takes
// the lines as they are.
require_once __DIR__ . '/common.php';

$lines = [];
foreach (scandir(store_dir()) as $name) {
    $path = store_dir() . '/' . $name;
    if (is_file($path)) {
        $lines[] = '/files/' . to_wire_path($name) . ':' . filesize($path);
    }
}
reply(200, $lines ? implode("\n", $lines) . "\n" : '');
