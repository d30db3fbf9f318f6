#pragma once

#include <QString>

#include <optional>
#include <string>

// An SMS-SUBMIT PDU taken apart, for checking what the modem library sent.
struct SubmitPdu {
    int serviceCentreLength = -1;
    int firstOctet = 0;
    QString number;
    int numberType = 0;
    int protocolId = -1;
    int codingScheme = -1;
    int validity = -1;
    int userDataLength = 0; // octets, header included
    bool hasHeader = false;
    int reference = -1;
    int total = 0;
    int sequence = 0;
    QString text; // the UCS2 user data after the header
};

// nullopt when the hex does not hold a whole SMS-SUBMIT.
std::optional<SubmitPdu> ReadSubmitPdu(const std::string& hex);
