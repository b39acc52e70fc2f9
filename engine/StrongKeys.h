#pragma once
// The strong container's password and the keys derived from it. A set of
// files costs one derivation: its encryptions share the job's salt, and its
// decryptions derive once per salt, cost and password.

#include <functional>
#include <string>
#include <vector>

#include "PasswordRules.h"
#include "StrongContainer.h"

namespace NBEngine {

enum class StrongPasswordFault { None, Empty, TooShort, TooLong, NotText };

// The bytes Argon2id takes for a password typed as UTF-8: trimmed as version 1
// trims, in NFC, at least 8 characters and at most 1,024 bytes.
StrongPasswordFault StrongPasswordBytes(const std::string& typed, std::string& bytes);

// The cost a front end asks for: the default, or NB_STRONG_COST
// ("memoryKiB,passes,lanes") when that is set and within the reader's limits,
// so that tests and slow machines can write cheaper containers.
Crypto::Argon2Cost RequestedStrongCost();

class StrongKeyCache {
public:
    StrongKeyCache() = default;
    ~StrongKeyCache();
    StrongKeyCache(const StrongKeyCache&) = delete;
    StrongKeyCache& operator=(const StrongKeyCache&) = delete;

    // Called before a derivation starts (to say so where the user looks).
    void OnDerivation(std::function<void()> note) { beforeDeriving = std::move(note); }

    // The job's salt and key for writing: made on first use, the same after.
    bool WritingKey(const std::string& password, const Crypto::Argon2Cost& cost, Salt& salt,
                    Crypto::SecretKey& key, std::string& reason);
    // The key a container's header asks for.
    bool ReadingKey(const std::string& password, const StrongHeader& header, Crypto::SecretKey& key,
                    std::string& reason);

    int Derivations() const { return derivations; }

private:
    struct Entry {
        std::string password;
        Salt salt{};
        Crypto::Argon2Cost cost;
        Crypto::SecretKey key;
        bool writing = false;
    };
    const Entry* Find(const std::string& password, const Salt* salt, const Crypto::Argon2Cost& cost,
                      bool writing) const;
    bool Derive(Entry& entry, std::string& reason);

    std::vector<Entry> entries;
    std::function<void()> beforeDeriving;
    int derivations = 0;
};

} // namespace NBEngine
