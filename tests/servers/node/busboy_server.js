'use strict';
// Upload server whose multipart parser is busboy.
//
// Usage: node busboy_server.js [--port N] STORE_DIR
//
// POST (any path): stores every file part under its sent file name (busboy's default of
// dropping any directory part applies) in STORE_DIR and answers a JSON report of the fields and
// files. GET and HEAD serve files from STORE_DIR.

const busboy = require('busboy');
const fs = require('fs');

const common = require('./common');

function handleUpload(storeDir, request, response) {
  let parser;
  try {
    // Browsers send file names as UTF-8 bytes, so that is how they are read here.
    parser = busboy({ headers: request.headers, defParamCharset: 'utf8' });
  } catch (error) {
    common.sendText(response, 400, `${error.message}\n`);
    return;
  }
  const fields = [];
  const uploads = [];
  let failed = false;
  parser.on('field', (name, value) => fields.push(common.fieldEntry(name, value)));
  parser.on('file', (field, stream, info) => {
    const upload = { field, filename: info.filename, mimeType: info.mimeType, stored: null };
    uploads.push(upload);
    const name = common.storeName(info.filename || '');
    if (name === null) {
      upload.done = new Promise((resolve) => stream.on('end', resolve).resume());
      return;
    }
    upload.stored = name;
    const out = fs.createWriteStream(common.storePath(storeDir, name));
    upload.done = new Promise((resolve, reject) => {
      out.on('finish', resolve).on('error', reject);
      stream.on('error', reject);
    });
    stream.pipe(out);
    // Awaited only when the form parses; a broken form's error is answered by the parser's.
    upload.done.catch(() => {});
  });
  parser.on('error', (error) => {
    failed = true;
    common.sendText(response, 400, `${error.message}\n`);
  });
  parser.on('close', async () => {
    if (failed) return;
    try {
      await Promise.all(uploads.map((u) => u.done));
    } catch (error) {
      common.sendText(response, 500, `${error.message}\n`);
      return;
    }
    const files = uploads.map((u) =>
      common.fileEntry(storeDir, u.field, u.filename, u.mimeType, u.stored),
    );
    common.sendJson(response, 200, {
      server: 'busboy',
      method: 'POST',
      path: request.url,
      fields,
      files,
    });
  });
  request.pipe(parser);
}

common.runUploadServer('node busboy_server.js [--port N] STORE_DIR', handleUpload);
