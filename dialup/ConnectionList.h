#pragma once
// The active connections of the last enumeration: a copy of each connection's record.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialup/RasApi.h"

class TConnectionList {
public:
    void AddConnection(const RasConnRecord& record) { Items.push_back(record); }
    RasConnHandle RASConn(std::size_t i) const { return Items.at(i).hrasconn; }
    // Empty when the record's name is empty.
    std::string EntryName(std::size_t i) const { return RecordText(Items.at(i).szEntryName); }
    void Delete(std::size_t i) {
        if (i >= Items.size()) throw std::out_of_range("TConnectionList::Delete");
        Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(i));
    }
    void Clear() { Items.clear(); }
    std::size_t Count() const { return Items.size(); }

private:
    std::vector<RasConnRecord> Items;
};
