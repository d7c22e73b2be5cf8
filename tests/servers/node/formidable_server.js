'use strict';
// Upload server whose multipart parser is formidable.
//
// Usage: node formidable_server.js [--port N] STORE_DIR
//
// POST (any path): formidable writes each file to a temporary file, which is then moved into
// STORE_DIR under its sent file name; the answer is a JSON report of the fields and files, each in
// the order they arrived. GET and HEAD serve files from STORE_DIR.

const os = require('os');
const { formidable } = require('formidable');

const common = require('./common');

function handleUpload(storeDir, request, response) {
  // Formidable's limits are lifted: tests send empty files and files of gigabytes on purpose.
  const form = formidable({
    uploadDir: os.tmpdir(),
    allowEmptyFiles: true,
    minFileSize: 0,
    maxFileSize: 64 * 1024 ** 3,
    maxTotalFileSize: 64 * 1024 ** 3,
    maxFiles: Infinity,
    maxFields: Infinity,
  });
  const fields = [];
  const files = [];
  form.on('field', (name, value) => fields.push({ name, value }));
  // Listed when they begin, so the report keeps the order of the body; a part without a
  // Content-Type is a field to formidable, whatever its file name.
  form.on('fileBegin', (field, file) => files.push({ field, file }));
  form.parse(request, (error) => {
    if (error) {
      common.sendText(response, error.httpCode || 400, `${error.message}\n`);
      return;
    }
    const report = { server: 'formidable', method: 'POST', path: request.url, fields: [] };
    report.fields = fields.map((f) => common.fieldEntry(f.name, f.value));
    report.files = files.map(({ field, file }) => {
      const stored = common.storeUpload(storeDir, file.originalFilename, file.filepath);
      return common.fileEntry(storeDir, field, file.originalFilename, file.mimetype, stored);
    });
    common.sendJson(response, 200, report);
  });
}

common.runUploadServer('node formidable_server.js [--port N] STORE_DIR', handleUpload);
