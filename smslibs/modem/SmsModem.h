#pragma once

// The modem library's functions as the program loads them. Every text is a zero-terminated
// GBK string; a null pointer counts as an empty text.

#define SMS_EXPORT __attribute__((visibility("default")))

extern "C" {

// Opens port n and readies the modem for PDU mode. Returns 0 when no modem answers there,
// a non-zero handle otherwise. The identification text and the two out-parameters are not
// used.
SMS_EXPORT int Sms_Connection(const char* ident, int port, int baud, int* a, int* b);
// 1 when every part of the message was accepted by the modem.
SMS_EXPORT int Sms_Send(const char* mobile, const char* text);
SMS_EXPORT void Sms_Disconnection(void);
}
