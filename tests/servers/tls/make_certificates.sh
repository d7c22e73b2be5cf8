#!/usr/bin/env bash
# Makes throwaway certificates for the TLS tests in DIR: a test authority (ca.pem) and, each
# with its key (NAME.key), certificates it signed for 127.0.0.1 and localhost (good.pem), the
# same but expired (expired.pem), one for another name (other-name.pem), one signed by
# nobody (self-signed.pem), and good.pem followed by a chain far too long to accept
# (huge-chain.pem); the authority alone in a folder under its hashed name (hashed/), and in
# one under its own name only (unhashed/).
# usage: make_certificates.sh DIR
set -euo pipefail
dir=${1:?usage: make_certificates.sh DIR}
mkdir -p "$dir"
cd "$dir"

newkey() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1" 2>/dev/null; }

newkey ca.key
openssl req -x509 -new -key ca.key -subj "/CN=veldrask test authority" -days 30 -out ca.pem \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"

mkdir -p authority
: >authority/index.txt
cat >authority/ca.cnf <<CNF
[ca]
default_ca = test
[test]
dir = authority
database = authority/index.txt
new_certs_dir = authority
serial = authority/serial
certificate = ca.pem
private_key = ca.key
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = copy
[anything]
commonName = supplied
CNF

# sign NAME CN SAN [START END]
sign() {
  local name=$1 cn=$2 san=$3
  newkey "$name.key"
  openssl req -new -key "$name.key" -subj "/CN=$cn" -addext "subjectAltName=$san" \
    -out "authority/$name.csr"
  openssl rand -hex 8 >authority/serial
  local dates=(-days 30)
  [ $# -ge 5 ] && dates=(-startdate "$4" -enddate "$5")
  openssl ca -batch -notext -config authority/ca.cnf "${dates[@]}" \
    -in "authority/$name.csr" -out "$name.pem" 2>/dev/null
}

sign good 127.0.0.1 "IP:127.0.0.1,DNS:localhost"
sign expired 127.0.0.1 "IP:127.0.0.1,DNS:localhost" 20200101000000Z 20200201000000Z
sign other-name other.example "DNS:other.example"

newkey self-signed.key
openssl req -x509 -new -key self-signed.key -subj "/CN=127.0.0.1" -days 30 \
  -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" -out self-signed.pem

cp good.key huge-chain.key
cat good.pem >huge-chain.pem
for _ in $(seq 400); do cat ca.pem; done >>huge-chain.pem

mkdir -p hashed unhashed
cp ca.pem "hashed/$(openssl x509 -hash -noout -in ca.pem).0"
cp ca.pem unhashed/ca.pem
