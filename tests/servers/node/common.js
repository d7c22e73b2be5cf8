'use strict';
// Pieces shared by the Node test servers: arguments, port choice, start-up line, store paths,
// reports and serving the store for GET.
//
// Every server listens on 127.0.0.1 only, on a port below 32768 (the control keeps ports in a
// signed 16-bit value, so the kernel's ephemeral range is out), and prints "PORT N" as its first
// line on stdout once it accepts connections.

const crypto = require('crypto');
const fs = require('fs');
const http = require('http');
const path = require('path');

const HOST = '127.0.0.1';
const PORT_MIN = 20000;
const PORT_MAX = 32000;

function parseArguments(usage) {
  const args = process.argv.slice(2);
  let port = 0;
  let storeDir = null;
  for (let i = 0; i < args.length; ++i) {
    if (args[i] === '--port') {
      port = Number(args[++i]);
    } else if (args[i].startsWith('--port=')) {
      port = Number(args[i].slice('--port='.length));
    } else if (storeDir === null && !args[i].startsWith('-')) {
      storeDir = args[i];
    } else {
      storeDir = null;
      break;
    }
  }
  if (storeDir === null || !Number.isInteger(port) || port < 0 || port >= 32768) {
    process.stderr.write(`usage: ${usage}\n`);
    process.exit(2);
  }
  return { port, storeDir: path.resolve(storeDir) };
}

// Listens on the requested port, or on random ones in the range until one is free.
function listen(server, requestedPort, attempt = 0) {
  const port = requestedPort || PORT_MIN + Math.floor(Math.random() * (PORT_MAX - PORT_MIN));
  const onError = (error) => {
    if (error.code === 'EADDRINUSE' && !requestedPort && attempt < 200) {
      listen(server, 0, attempt + 1);
      return;
    }
    process.stderr.write(`cannot listen on ${HOST}:${port}: ${error.message}\n`);
    process.exit(1);
  };
  server.once('error', onError);
  server.listen({ host: HOST, port }, () => {
    server.removeListener('error', onError);
    announcePort(server.address().port);
  });
}

function announcePort(port) {
  fs.writeSync(1, `PORT ${port}\n`);
  if (process.env.VELDRASK_EXIT_ON_STDIN_EOF === '1') {
    // The harness holds the other end of stdin: when the test process dies, even by SIGKILL,
    // the pipe closes and the server goes with it instead of lingering.
    process.stdin.on('data', () => {});
    process.stdin.on('end', () => process.exit(0));
    process.stdin.on('error', () => process.exit(0));
  }
}

// The last component of a sent file name as bytes, or null when nothing usable is left.
function storeName(filename) {
  const name = Buffer.from(filename.replace(/\\/g, '/').split('/').pop(), 'utf8');
  const text = name.toString('latin1');
  return text === '' || text === '.' || text === '..' ? null : name;
}

function storePath(storeDir, nameBytes) {
  return Buffer.concat([Buffer.from(storeDir + '/', 'utf8'), nameBytes]);
}

// Moves a parser's temporary file into the store under the sent name; returns the stored name.
function storeUpload(storeDir, filename, temporaryPath) {
  const name = storeName(filename || '');
  if (name === null) {
    fs.rmSync(temporaryPath, { force: true });
    return null;
  }
  const target = storePath(storeDir, name);
  try {
    fs.renameSync(temporaryPath, target);
  } catch (error) {
    if (error.code !== 'EXDEV') throw error;
    fs.copyFileSync(temporaryPath, target);
    fs.rmSync(temporaryPath, { force: true });
  }
  return name;
}

function fileSha256(filePath) {
  const digest = crypto.createHash('sha256');
  const fd = fs.openSync(filePath, 'r');
  try {
    const chunk = Buffer.alloc(1 << 16);
    let read;
    while ((read = fs.readSync(fd, chunk, 0, chunk.length, null)) > 0) {
      digest.update(chunk.subarray(0, read));
    }
  } finally {
    fs.closeSync(fd);
  }
  return digest.digest('hex');
}

function textAndHex(key, value) {
  const raw = Buffer.isBuffer(value) ? value : Buffer.from(value, 'utf8');
  return { [key]: raw.toString('utf8'), [`${key}_hex`]: raw.toString('hex') };
}

function fieldEntry(name, value) {
  return { ...textAndHex('name', name), ...textAndHex('value', value) };
}

// Describes one stored file by what is on disk, so the report proves what was kept.
function fileEntry(storeDir, field, filename, contentType, storedName) {
  const entry = {
    ...textAndHex('field', field),
    ...textAndHex('filename', filename || ''),
    content_type: contentType || '',
    error: 0,
  };
  if (storedName === null) {
    const empty = crypto.createHash('sha256').digest('hex');
    return { ...entry, size: 0, sha256: empty, stored: '', stored_hex: '' };
  }
  const stored = storePath(storeDir, storedName);
  return {
    ...entry,
    size: fs.statSync(stored).size,
    sha256: fileSha256(stored),
    ...textAndHex('stored', storedName),
  };
}

function sendJson(response, status, report) {
  const body = Buffer.from(JSON.stringify(report), 'utf8');
  response.writeHead(status, {
    'Content-Type': 'application/json',
    'Content-Length': body.length,
  });
  response.end(body);
}

function sendText(response, status, text) {
  response.writeHead(status, { 'Content-Type': 'text/plain', 'Content-Length': text.length });
  response.end(text);
}

// Percent-decodes to bytes; decodeURIComponent would refuse the CP949 encodings tests send.
function percentDecode(text) {
  const bytes = [];
  for (let i = 0; i < text.length; ++i) {
    const hex = text.slice(i + 1, i + 3);
    if (text[i] === '%' && /^[0-9a-fA-F]{2}$/.test(hex)) {
      bytes.push(parseInt(hex, 16));
      i += 2;
    } else {
      bytes.push(...Buffer.from(text[i], 'latin1'));
    }
  }
  return Buffer.from(bytes);
}

// Splits decoded path bytes at "/" into non-empty components.
function pathComponents(bytes) {
  const parts = [];
  let start = 0;
  for (let i = 0; i <= bytes.length; ++i) {
    if (i === bytes.length || bytes[i] === 0x2f) {
      if (i > start) parts.push(bytes.subarray(start, i));
      start = i + 1;
    }
  }
  return parts;
}

// Serves a file of the store whose raw name bytes equal the decoded request path.
function serveStore(storeDir, request, response) {
  const parts = pathComponents(percentDecode(request.url.split('?')[0]));
  const unsafe = parts.some((p) => ['.', '..'].includes(p.toString('latin1')));
  let stat = null;
  let filePath = null;
  if (parts.length > 0 && !unsafe) {
    const slash = Buffer.from('/');
    filePath = storePath(storeDir, Buffer.concat(parts.flatMap((p, i) => (i ? [slash, p] : [p]))));
    try {
      stat = fs.statSync(filePath);
    } catch {
      stat = null;
    }
  }
  if (stat === null || !stat.isFile()) {
    sendText(response, 404, 'not found\n');
    return;
  }
  response.writeHead(200, {
    'Content-Type': 'application/octet-stream',
    'Content-Length': stat.size,
  });
  if (request.method === 'HEAD') {
    response.end();
    return;
  }
  fs.createReadStream(filePath).pipe(response);
}

// Runs an upload server: POST goes to handleUpload(request, response), GET and HEAD to the store.
function runUploadServer(usage, handleUpload) {
  const { port, storeDir } = parseArguments(usage);
  // One broken request must not take the server down under the other tests' feet.
  process.on('uncaughtException', (error) => process.stderr.write(`${error.stack}\n`));
  const server = http.createServer((request, response) => {
    if (request.method === 'POST') {
      handleUpload(storeDir, request, response);
    } else if (request.method === 'GET' || request.method === 'HEAD') {
      serveStore(storeDir, request, response);
    } else {
      sendText(response, 405, 'method not allowed\n');
    }
  });
  // Tests may upload slowly on purpose; the server never gives up on a request by itself.
  server.requestTimeout = 0;
  server.headersTimeout = 0;
  listen(server, port);
}

module.exports = {
  listen,
  parseArguments,
  serveStore,
  storeName,
  storePath,
  fieldEntry,
  fileEntry,
  runUploadServer,
  sendJson,
  sendText,
  storeUpload,
};
