#pragma once
// The request that carries a message to the author: byte-wise query encoding and the
// address with its three fields. Pure functions; any thread.
//
// Text becomes bytes in the system's ANSI code page (the locale's encoding: UTF-8 on
// Linux, the active code page on Windows) and then every byte is encoded on its own.

#include <QByteArray>
#include <QString>

namespace corvanel::dialogs {

inline constexpr char kMessagePass[] = "k4w7pz2m";
inline constexpr char kMessagePath[] = "/cgi-bin/SoftMsg/message.cgi";
inline constexpr char kDefaultMessageEndpoint[] =
    "https://corvanel.app/cgi-bin/SoftMsg/message.cgi";
// Set to a whole endpoint address to send elsewhere (tests, a local endpoint).
inline constexpr char kMessageEndpointVariable[] = "CORVANEL_MESSAGE_URL";
inline constexpr char kMessageAccept[] =
    "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline constexpr char kMessageUserAgent[] = "Mozilla/3.0 (compatible; Indy Library)";
inline constexpr char kMessageSuccessReply[] = "Successful!";

// Text in the system's ANSI code page; unrepresentable characters become whatever the
// platform's conversion substitutes.
QByteArray ToAnsiCodePage(const QString& text);

// Letters, digits and ! $ ' ( ) * - . @ _ unchanged, space as "+", every other byte as
// "%XX" (upper-case hex). Stops at the first zero byte.
QByteArray EncodeQueryBytes(const QByteArray& bytes);

// ToAnsiCodePage, then EncodeQueryBytes.
QByteArray EncodeQueryText(const QString& text);

// A plain-text editor's text ("\n" between lines) as the message: lines joined by CR LF.
QString MessageFromEditorText(const QString& editorText);

// "<endpoint>?Pass=<pass>&Main=<encoded message>&soft=<encoded tag>".
QByteArray BuildMessageQuery(const QByteArray& endpoint, const QString& message);

// The endpoint: the environment variable when it is set and not empty, else the default.
QByteArray MessageEndpoint();

} // namespace corvanel::dialogs
