#!/bin/bash
# Test certificates for the HTTPS tests: a test CA, a server certificate for 127.0.0.1 and
# localhost, one for another name, and a self-signed one no CA vouches for.
# Usage: make_test_certs.sh OUTDIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
ec() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:prime256v1 -out "$1" 2>/dev/null; }
ec ca.key
openssl req -x509 -new -key ca.key -subj "/CN=rx40 test CA" -days 3650 -out ca.pem \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
sign() { # name, subjectAltName
    ec "$1.key"
    openssl req -new -key "$1.key" -subj "/CN=$1" -out "$1.csr" 2>/dev/null
    printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$2" >"$1.ext"
    openssl x509 -req -in "$1.csr" -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 \
        -extfile "$1.ext" -out "$1.pem" 2>/dev/null
    rm -f "$1.csr" "$1.ext"
}
sign server "IP:127.0.0.1,DNS:localhost"
sign wrongname "DNS:wrong.example"
ec selfsigned.key
openssl req -x509 -new -key selfsigned.key -subj "/CN=127.0.0.1" -days 3650 -out selfsigned.pem \
    -addext "subjectAltName=IP:127.0.0.1" 2>/dev/null
