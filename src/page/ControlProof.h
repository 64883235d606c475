#pragma once
// How a page proves it holds control without ever sending what it holds. Each socket is
// given a fresh nonce; a page with a key answers with the HMAC-SHA256 of the nonce under its
// key, and a page opened by the one-time control link answers with one under the link's code
// and takes as its key another HMAC under that code, which the server works out the same way.
// A message seen on the network proves nothing on another socket, and neither the key nor the
// code ever travels. The page carries its own SHA-256, as plain HTTP gives it no WebCrypto.

#include <QByteArray>

namespace page::proof {

// 128 random bits as 32 hex digits: a nonce, a key, a link's code.
QByteArray randomCode();
// HMAC-SHA256 of message under secret, as 64 hex digits.
QByteArray hmacHex(const QByteArray &secret, const QByteArray &message);
// What a page holding key answers to nonce.
QByteArray ofKey(const QByteArray &key, const QByteArray &nonce);
// What a page opened by the link answers, and the key both sides take from it.
QByteArray ofLink(const QByteArray &link, const QByteArray &nonce);
QByteArray linkKey(const QByteArray &link, const QByteArray &nonce);
// The same length and bytes, compared in the same time whatever they hold.
bool same(const QByteArray &a, const QByteArray &b);

} // namespace page::proof
