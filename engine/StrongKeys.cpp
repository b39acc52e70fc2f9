#include "StrongKeys.h"

#include <cstdlib>
#include <sstream>

#include "Normalization.h"
#include "Paths.h"
#include "TextConversion.h"

namespace NBEngine {

namespace {

std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

bool ParseCost(const std::string& text, Crypto::Argon2Cost& cost) {
    std::istringstream stream(text);
    char comma1 = 0;
    char comma2 = 0;
    stream >> cost.memoryKiB >> comma1 >> cost.passes >> comma2 >> cost.lanes;
    return stream && comma1 == ',' && comma2 == ',' && stream.peek() == EOF;
}

} // namespace

StrongPasswordFault StrongPasswordBytes(const std::string& typed, std::string& bytes) {
    bytes.clear();
    const std::string trimmed = Trim(typed);
    if (trimmed.empty()) {
        return StrongPasswordFault::Empty;
    }
    std::string composed;
    if (!NBUtility::ComposeUtf8(trimmed, composed)) {
        return StrongPasswordFault::NotText;
    }
    if (CharacterCount(composed) < leastPasswordCharacters) {
        Crypto::Wipe(&composed[0], composed.size());
        return StrongPasswordFault::TooShort;
    }
    if (composed.size() > mostStrongPasswordBytes) {
        Crypto::Wipe(&composed[0], composed.size());
        return StrongPasswordFault::TooLong;
    }
    bytes.swap(composed);
    return StrongPasswordFault::None;
}

Crypto::Argon2Cost RequestedStrongCost() {
    const char* asked = std::getenv("NB_STRONG_COST");
    Crypto::Argon2Cost cost;
    if (asked && ParseCost(asked, cost) && CostWithinLimits(cost)) {
        return cost;
    }
    return defaultStrongCost;
}

StrongKeyCache::~StrongKeyCache() {
    for (Entry& entry : entries) {
        Crypto::Wipe(&entry.password[0], entry.password.size());
    }
}

const StrongKeyCache::Entry* StrongKeyCache::Find(const std::string& password, const Salt* salt,
                                                  const Crypto::Argon2Cost& cost,
                                                  bool writing) const {
    for (const Entry& entry : entries) {
        const bool saltMatches = salt ? entry.salt == *salt : entry.writing == writing;
        if (saltMatches && entry.cost == cost && entry.password == password) {
            return &entry;
        }
    }
    return nullptr;
}

bool StrongKeyCache::Derive(Entry& entry, std::string& reason) {
    if (beforeDeriving) {
        beforeDeriving();
    }
    ++derivations;
    return Crypto::DeriveArgon2id(entry.password, entry.salt.data(), entry.salt.size(), entry.cost,
                                  entry.key, reason);
}

bool StrongKeyCache::WritingKey(const std::string& password, const Crypto::Argon2Cost& cost,
                                Salt& salt, Crypto::SecretKey& key, std::string& reason) {
    if (const Entry* known = Find(password, nullptr, cost, true)) {
        salt = known->salt;
        key = known->key;
        return true;
    }
    Entry entry;
    entry.password = password;
    entry.cost = cost;
    entry.writing = true;
    if (!Crypto::StrongRandom(entry.salt.data(), entry.salt.size())) {
        reason = "no random numbers to be had";
        return false;
    }
    if (!Derive(entry, reason)) {
        return false;
    }
    salt = entry.salt;
    key = entry.key;
    entries.push_back(std::move(entry));
    return true;
}

bool StrongKeyCache::ReadingKey(const std::string& password, const StrongHeader& header,
                                Crypto::SecretKey& key, std::string& reason) {
    if (const Entry* known = Find(password, &header.salt, header.cost, false)) {
        key = known->key;
        return true;
    }
    Entry entry;
    entry.password = password;
    entry.cost = header.cost;
    entry.salt = header.salt;
    if (!Derive(entry, reason)) {
        return false;
    }
    key = entry.key;
    entries.push_back(std::move(entry));
    return true;
}

} // namespace NBEngine
