<?php
// Router of PHP's built-in server for the tests (started by serve.sh).
//
// POST to any path ending in "upload.php": PHP's own multipart parser fills $_POST and $_FILES;
// every file is moved into the store directory (VELDRASK_STORE) under its name exactly as sent
// (PHP keeps the raw bytes, CP949 included) and the answer is a JSON report of what was parsed.
// Any other GET or HEAD serves the store: the percent-decoded path bytes are the file name.

$store = rtrim((string)getenv('VELDRASK_STORE'), '/');
$target = $_SERVER['REQUEST_URI'];
$query = strpos($target, '?');
$path = $query === false ? $target : substr($target, 0, $query);

const JSON_FLAGS = JSON_UNESCAPED_UNICODE | JSON_UNESCAPED_SLASHES | JSON_INVALID_UTF8_SUBSTITUTE;

function text_and_hex(string $key, string $value): array
{
    // Names need not be UTF-8: the hex form is the exact bytes, the text (with invalid bytes
    // substituted when encoded) is for people reading the answer.
    return [$key => $value, $key . '_hex' => bin2hex($value)];
}

// Flattens $_POST: a field sent as "a[]" or "a[k]" arrives as an array and is listed per element.
function flatten_fields(array $values, string $prefix, array &$out): void
{
    foreach ($values as $key => $value) {
        $name = $prefix === '' ? (string)$key : $prefix . '[' . $key . ']';
        if (is_array($value)) {
            flatten_fields($value, $name, $out);
        } else {
            $out[] = text_and_hex('name', $name) + text_and_hex('value', (string)$value);
        }
    }
}

// Flattens one $_FILES entry, whose keys hold parallel arrays when the field name had brackets.
function flatten_files(array $entry, string $field, array &$out): void
{
    if (!is_array($entry['name'])) {
        $out[] = ['field' => $field] + $entry;
        return;
    }
    foreach (array_keys($entry['name']) as $key) {
        $element = [];
        foreach ($entry as $property => $values) {
            $element[$property] = $values[$key];
        }
        flatten_files($element, $field . '[' . $key . ']', $out);
    }
}

function store_upload(string $store, array $upload): array
{
    $name = $upload['name'];
    $entry = text_and_hex('field', $upload['field']) + text_and_hex('filename', $name)
        + text_and_hex('full_path', $upload['full_path'] ?? $name)
        + ['content_type' => $upload['type'], 'error' => $upload['error']];
    $stored = '';
    $source = $upload['tmp_name'];
    if ($upload['error'] === UPLOAD_ERR_OK && $name !== '' && $name !== '.' && $name !== '..'
        && move_uploaded_file($upload['tmp_name'], $store . '/' . $name)) {
        $stored = $name;
        $source = $store . '/' . $name;
    }
    $hasData = $source !== '' && is_file($source);
    $entry['size'] = $hasData ? filesize($source) : 0;
    $entry['sha256'] = $hasData ? hash_file('sha256', $source) : hash('sha256', '');
    return $entry + text_and_hex('stored', $stored);
}

function send(int $status, string $type, string $body): void
{
    http_response_code($status);
    header('Content-Type: ' . $type);
    header('Content-Length: ' . strlen($body));
    echo $body;
}

if (substr($path, -strlen('upload.php')) === 'upload.php') {
    $fields = [];
    flatten_fields($_POST, '', $fields);
    $uploads = [];
    foreach ($_FILES as $field => $entry) {
        flatten_files($entry, (string)$field, $uploads);
    }
    $files = array_map(fn($upload) => store_upload($store, $upload), $uploads);
    $report = ['server' => 'php', 'method' => $_SERVER['REQUEST_METHOD'], 'path' => $path,
               'fields' => $fields, 'files' => $files];
    send(200, 'application/json', json_encode($report, JSON_FLAGS));
    return true;
}

$parts = array_values(array_filter(explode('/', rawurldecode($path)), fn($p) => $p !== ''));
$unsafe = count(array_filter($parts, fn($p) => $p === '.' || $p === '..')) > 0;
$file = $store . '/' . implode('/', $parts);
if (count($parts) === 0 || $unsafe || !is_file($file)) {
    send(404, 'text/plain', "not found\n");
    return true;
}
header('Content-Type: application/octet-stream');
header('Content-Length: ' . filesize($file));
if ($_SERVER['REQUEST_METHOD'] !== 'HEAD') {
    readfile($file);
}
return true;
