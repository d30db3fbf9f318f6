#pragma once

// The account library's functions as the program loads them. Every text is a zero-terminated
// GBK string; a null pointer counts as an empty text. A returned text belongs to the library
// and stays valid until the next call of the same function. Whatever keeps the service from
// answering with HTTP 200 (no settings, no connection, a timeout, another status) gives the
// reply "-99". The settings are read at each call from the file the environment variable
// WINSMS_INI names, or else from winsms.ini beside the library.

#define SMS_EXPORT __attribute__((visibility("default")))

extern "C" {

// The service's reply: a three-character code first, "000" when the message was accepted.
SMS_EXPORT const char* Sendsms(const char* account, const char* password, const char* mobile,
                               const char* content, const char* ext1, const char* ext2);
// The balance, or a code beginning with "-".
SMS_EXPORT const char* Remoney(const char* account, const char* password);
// A three-character code, "000" when the password was changed.
SMS_EXPORT const char* Editpwd(const char* account, const char* oldPassword,
                               const char* newPassword);
}
