<?php
// The demo server for PHP's built-in web server:
//
//   DEMO_STORE=/tmp/store php -S 127.0.0.1:8080 -t examples/server examples/server/router.php
//
// /upload.php and /list.php are served as they are; /files/NAME downloads a stored file.
$path = parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH);
if (str_starts_with($path, '/files/')) {
    require __DIR__ . '/download.php';
    return true;
}
if ($path === '/upload.php' || $path === '/list.php') {
    return false;
}
http_response_code(404);
header('Content-Type: text/plain; charset=utf-8');
echo "upload.php, list.php, files/NAME\n";
return true;
