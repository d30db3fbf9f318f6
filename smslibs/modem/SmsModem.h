#pragma once

// The modem library's functions as the program loads them. Every text is a zero-terminated
// GBK string; a null pointer counts as an empty text.

#define SMS_EXPORT __attribute__((visibility("default")))

extern "C" {

// Opens port n and readies the modem for PDU mode. Returns 0 when no modem answers there,
// a non-zero handle otherwise. The identification text and the two out-parameters are not
// used. The modem is also asked to pass on the network's status reports as they arrive
// (AT+CSMS=0, then AT+CNMI=2,0,0,1,0 or else AT+CNMI=1,0,0,1,0); a modem that refuses still
// connects and sends, only no reports will come from it.
SMS_EXPORT int Sms_Connection(const char* ident, int port, int baud, int* a, int* b);
// 1 when every part of the message was accepted by the modem. Asks for no status report.
SMS_EXPORT int Sms_Send(const char* mobile, const char* text);
SMS_EXPORT void Sms_Disconnection(void);

// ---- Delivery reports ----------------------------------------------------------------------
//
// Sms_SendWithReferences sends as Sms_Send does, with the same result, and every part asks the
// network for a status report. The modem gives each part it accepts a message reference
// (0-255); the network's report about that part carries the same reference. The references
// wrap after 256 parts, so a report is matched with the most recent part sent to its
// recipient under its reference.
//
// A message in several parts has one reference per part. It counts as delivered when the
// report of every part says delivered, as failed as soon as one part's report says failed,
// and as pending until then. A part may never be reported on: the network or the modem may
// not send a report, and reports that arrive while no program has the port open are lost.
//
// Reports arrive on their own, in the middle of a later command's answer or while nothing is
// sent; the library keeps them in a queue (the newest 10000) until Sms_ReadReports takes
// them. A report may be queued before the send it belongs to has returned: record the
// references first, then read the reports. A report for a reference the program does not
// know, or the same report twice, is passed on as it came; the program decides.

// Upper bound of parts in one message: a text needing more is not sent.
#define SMS_MOST_PARTS 255

// references: room for capacity ints, receives the reference of each part accepted, in the
// order of the parts; -1 for a part the modem accepted without saying its reference.
// *partsAccepted (when not null) receives how many parts were accepted: all of them when the
// result is 1, those before the failure otherwise (they may still reach the phone). Only the
// first capacity references are written; SMS_MOST_PARTS is always room enough.
SMS_EXPORT int Sms_SendWithReferences(const char* mobile, const char* text, int* references,
                                      int capacity, int* partsAccepted);

// What the network says about one part, mapped from the report's status octet.
enum SmsDeliveryState {
    SMS_DELIVERED = 0, // 0x00-0x1F: the transaction completed, the part reached the phone
    SMS_PENDING = 1,   // 0x20-0x3F: a temporary error, the service centre is still trying; a
                       // later report about the same reference will follow
    SMS_FAILED = 2     // any other value: the service centre has given up
};

typedef struct SmsStatusReport {
    int reference;     // the part's message reference, 0-255
    int state;         // an SmsDeliveryState
    int networkStatus; // the status octet (TP-Status) as the network sent it, for the log
    int zoneMinutes;   // the zone of dischargeTime, in minutes east of UTC (+8 h: 480)
    // The recipient as the network writes it: the digits, "+" first when international. It
    // may be written internationally although the number was sent nationally: compare the
    // trailing digits.
    char recipient[24];
    // When the network delivered the part or gave up on it, "yyyy-MM-dd HH:mm:ss" as the
    // service centre's clock showed it in its zone (zoneMinutes); "" when the report held no
    // valid time. Zero-terminated ASCII.
    char dischargeTime[20];
} SmsStatusReport;

// Reads what the modem has sent without waiting for more (a call returns at once, also when
// nothing has come, when the line is gone or after Sms_Disconnection), then moves up to
// capacity of the queued reports, oldest first, into reports. Returns how many were moved;
// the rest stay queued for the next call. Meant to be called from a timer, during a batch and
// after it has ended.
SMS_EXPORT int Sms_ReadReports(SmsStatusReport* reports, int capacity);
}
