#!/usr/bin/env bash
# Makes a development signing identity in the given folder: a private root certificate, and a
# code-signing and a time-stamping certificate issued by it, each with its key and its chain
# (ca.pem, signer.key, signer-chain.pem, tsa.key, tsa-chain.pem). Files signed with it verify
# against ca.pem. Windows trusts none of it, which is the point: it never leaves the build tree.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
mkdir -p "$1"
cd "$1"

organisation="/O=Kestrel Imaging (development)"

make_key() {
  # RSA, because Windows XP verifies no other kind of signature.
  openssl genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1"
}

issue() {
  local name=$1 common_name=$2 extended_usage=$3
  make_key "$name.key"
  openssl req -new -key "$name.key" -subj "$organisation/CN=$common_name" -out "$name.csr"
  printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' \
    "$extended_usage" > "$name.ext"
  openssl x509 -req -in "$name.csr" -CA ca.pem -CAkey ca.key -set_serial "0x$(openssl rand -hex 16)" \
    -days 3650 -sha256 -extfile "$name.ext" -out "$name.pem" 2>/dev/null
  cat "$name.pem" ca.pem > "$name-chain.pem"
  rm "$name.csr" "$name.ext"
}

make_key ca.key
openssl req -new -x509 -key ca.key -subj "$organisation/CN=Kestrel Development Root" \
  -days 3650 -sha256 -set_serial "0x$(openssl rand -hex 16)" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign -out ca.pem
issue signer "Kestrel Development Code Signing" codeSigning
# A time-stamping certificate must say so, in a critical extension, and say nothing else.
issue tsa "Kestrel Development Time Stamping" critical,timeStamping
