#!/usr/bin/env bash
# Makes a throwaway code-signing CA and a key signed by it: test_signing_key.sh DIR
# DIR gets ca.pem (the CA to verify against), key.p12 (certificate, key and CA, password in
# password.txt).
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
  -subj "/CN=Veldrask test CA" -addext basicConstraints=critical,CA:true \
  -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
  -subj "/CN=Veldrask test signer" 2>/dev/null
printf 'basicConstraints=CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
  >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
  -extfile signer.ext -out signer.pem 2>/dev/null
echo "test password" >password.txt
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem \
  -passout file:password.txt -out key.p12
