'use strict';
// A TLS front for any plain test server: each TLS connection is carried to the backend's port on
// 127.0.0.1 and the backend's answer back, so what a server records or serves behind TLS is what
// it would over plain TCP. Faults to test clients with:
//   --abrupt-close   when the backend closes, drop the TCP connection with no TLS close notice
//   --renegotiate    ask the client for a renegotiation once its first bytes arrive (TLS 1.2)
//   --stall          accept TCP connections and never speak: the handshake never ends
//   --max-tls-1.1    offer nothing newer than TLS 1.1
// usage: node tls_front.js [--port N] --cert PEM --key PEM --to PORT [fault...]

const fs = require('fs');
const net = require('net');
const tls = require('tls');
const { listen } = require('./common');

const usage = 'node tls_front.js [--port N] --cert PEM --key PEM --to PORT [--abrupt-close] ' +
  '[--renegotiate] [--stall] [--max-tls-1.1]';
const options = { port: 0, cert: null, key: null, to: 0, faults: new Set() };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; ++i) {
  const [name, inline] = args[i].split(/=(.*)/s);
  const value = () => (inline !== undefined ? inline : args[++i]);
  if (name === '--port') options.port = Number(value());
  else if (name === '--cert') options.cert = value();
  else if (name === '--key') options.key = value();
  else if (name === '--to') options.to = Number(value());
  else if (['--abrupt-close', '--renegotiate', '--stall', '--max-tls-1.1'].includes(name)) {
    options.faults.add(name.slice(2));
  } else {
    process.stderr.write(`usage: ${usage}\n`);
    process.exit(2);
  }
}
if (!options.faults.has('stall') && (!options.cert || !options.key || !options.to)) {
  process.stderr.write(`usage: ${usage}\n`);
  process.exit(2);
}

function carry(client) {
  const backend = net.connect({ host: '127.0.0.1', port: options.to });
  // With --renegotiate the request waits until the client has agreed to a new handshake.
  let held = options.faults.has('renegotiate') ? [] : null;
  client.on('data', (bytes) => {
    if (held === null) {
      backend.write(bytes);
      return;
    }
    held.push(bytes);
    if (held.length > 1) return;
    client.renegotiate({}, (error) => {
      if (error) return;
      for (const piece of held) backend.write(piece);
      held = null;
    });
  });
  client.on('end', () => backend.end());
  backend.on('data', (bytes) => client.write(bytes));
  backend.on('end', () => {
    // destroy() drops the connection without the close notice; end() sends it first.
    if (options.faults.has('abrupt-close')) client.write(Buffer.alloc(0), () => client.destroy());
    else client.end();
  });
  client.on('error', () => backend.destroy());
  backend.on('error', () => client.destroy());
  client.on('close', () => backend.destroy());
}

if (options.faults.has('stall')) {
  listen(net.createServer(() => {}), options.port);
} else {
  const server = tls.createServer({
    cert: fs.readFileSync(options.cert),
    key: fs.readFileSync(options.key),
    // Renegotiation exists up to TLS 1.2 only.
    maxVersion: options.faults.has('max-tls-1.1') ? 'TLSv1.1'
      : options.faults.has('renegotiate') ? 'TLSv1.2' : 'TLSv1.3',
    minVersion: options.faults.has('max-tls-1.1') ? 'TLSv1' : 'TLSv1.2',
  }, carry);
  server.on('tlsClientError', () => {});
  listen(server, options.port);
}
