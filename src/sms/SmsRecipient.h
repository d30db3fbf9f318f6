#pragma once

#include <QString>

// One recipient of a batch: the name "@Name" stands for, the number, and the customer's GUID
// when the recipient came from a customer (empty otherwise).
struct TSmsRecipient {
    QString Name;
    QString Number;
    QString Guid;
    bool operator==(const TSmsRecipient&) const = default;
};
