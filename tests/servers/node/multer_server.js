'use strict';
// Upload server written as Express applications usually are, with multer.
//
// Usage: node multer_server.js [--port N] STORE_DIR
//
// POST /single  upload.single('file_1'): the control's first file with FilePrefix "file"
// POST /array   upload.array('files'): one field name for every file, which the control never
//               sends; multer answers "Unexpected field"
// POST /any     upload.any(): every file whatever its field name
// Each stores the files under their sent names in STORE_DIR and answers a JSON report.
// GET and HEAD serve files from STORE_DIR.

const express = require('express');
const http = require('http');
const os = require('os');
const multer = require('multer');

const common = require('./common');

function main() {
  const { port, storeDir } = common.parseArguments('node multer_server.js [--port N] STORE_DIR');
  // Browsers send file names as UTF-8 bytes, so that is how they are read here.
  const upload = multer({ dest: os.tmpdir(), defParamCharset: 'utf8' });
  const app = express();

  const report = (request, response, files) => {
    const fields = Object.entries(request.body).flatMap(([name, value]) =>
      (Array.isArray(value) ? value : [value]).map((v) => common.fieldEntry(name, v)),
    );
    const entries = files.map((file) => {
      const stored = common.storeUpload(storeDir, file.originalname, file.path);
      return common.fileEntry(storeDir, file.fieldname, file.originalname, file.mimetype, stored);
    });
    common.sendJson(response, 200, {
      server: 'multer',
      method: 'POST',
      path: request.path,
      fields,
      files: entries,
    });
  };

  app.post('/single', upload.single('file_1'), (req, res) => report(req, res, req.file ? [req.file] : []));
  app.post('/array', upload.array('files'), (req, res) => report(req, res, req.files));
  app.post('/any', upload.any(), (req, res) => report(req, res, req.files));
  app.get(/.*/, (req, res) => common.serveStore(storeDir, req, res));
  // multer's own refusals ("Unexpected field") as Express answers them, with their status.
  app.use((error, req, res, next) => {
    if (!(error instanceof multer.MulterError)) return next(error);
    return common.sendText(res, 400, `${error.message}\n`);
  });
  // Tests may upload slowly on purpose; the server never gives up on a request by itself.
  const server = http.createServer(app);
  server.requestTimeout = 0;
  server.headersTimeout = 0;
  common.listen(server, port);
}

main();
