#include "StrongCrypto.h"

#include <gcrypt.h>

#include <mutex>
#include <thread>
#include <vector>

namespace NBEngine::Crypto {

namespace {

constexpr char leastVersion[] = "1.10.0";

// A program without a console has nowhere to show the library's notes;
// warnings and errors still reach the failing call's result.
void QuietLog(void*, int, const char*, va_list) {}

struct Initialization {
    bool ok = false;
    std::string reason;
};

Initialization Start() {
    Initialization result;
    gcry_set_log_handler(QuietLog, nullptr);
    if (!gcry_check_version(leastVersion)) {
        result.reason = std::string("the crypto library is older than ") + leastVersion;
        return result;
    }
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    result.ok = true;
    return result;
}

std::string ErrorText(gcry_error_t error) {
    return gcry_strerror(error);
}

// Runs each lane's job on a thread of its own.
struct LaneThreads {
    std::vector<std::thread> threads;

    static int Dispatch(void* context, gcry_kdf_job_fn_t job, void* priv) {
        auto* self = static_cast<LaneThreads*>(context);
        try {
            self->threads.emplace_back(job, priv);
        } catch (...) {
            job(priv); // no thread to be had: this one does the work
        }
        return 0;
    }
    static int WaitAll(void* context) {
        auto* self = static_cast<LaneThreads*>(context);
        for (std::thread& thread : self->threads) {
            thread.join();
        }
        self->threads.clear();
        return 0;
    }
};

} // namespace

void Wipe(void* bytes, std::size_t count) {
    volatile std::uint8_t* p = static_cast<volatile std::uint8_t*>(bytes);
    while (count-- > 0) {
        *p++ = 0;
    }
}

bool Initialize(std::string& reason) {
    static std::once_flag once;
    static Initialization state;
    std::call_once(once, [] { state = Start(); });
    reason = state.reason;
    return state.ok;
}

bool DeriveArgon2id(const std::string& password, const std::uint8_t* salt, std::size_t saltSize,
                    const Argon2Cost& cost, SecretKey& key, std::string& reason) {
    if (!Initialize(reason)) {
        return false;
    }
    // unsigned long, as the library takes it: 32 bits on Windows.
    const unsigned long parameters[4] = {keySize, cost.passes, cost.memoryKiB, cost.lanes};
    gcry_kdf_hd_t handle = nullptr;
    gcry_error_t error =
        gcry_kdf_open(&handle, GCRY_KDF_ARGON2, GCRY_KDF_ARGON2ID, parameters, 4, password.data(),
                      password.size(), salt, saltSize, nullptr, 0, nullptr, 0);
    if (error) {
        reason = ErrorText(error);
        return false;
    }
    LaneThreads lanes;
    const gcry_kdf_thread_ops_t operations = {&lanes, LaneThreads::Dispatch, LaneThreads::WaitAll};
    error = gcry_kdf_compute(handle, &operations);
    if (!error) {
        error = gcry_kdf_final(handle, keySize, key.Data());
    }
    gcry_kdf_close(handle);
    if (error) {
        reason = ErrorText(error);
        return false;
    }
    return true;
}

namespace {
// An HMAC-SHA-256 over one message, closed when it goes.
class Hmac {
public:
    Hmac(const std::uint8_t* key, std::size_t keySize, const std::uint8_t* message,
         std::size_t messageSize) {
        std::string reason;
        gcry_mac_hd_t opened = nullptr;
        if (!Initialize(reason) || gcry_mac_open(&opened, GCRY_MAC_HMAC_SHA256, 0, nullptr)) {
            return;
        }
        handle = opened;
        written =
            !gcry_mac_setkey(handle, key, keySize) && !gcry_mac_write(handle, message, messageSize);
    }
    ~Hmac() {
        if (handle) {
            gcry_mac_close(handle);
        }
    }
    Hmac(const Hmac&) = delete;
    Hmac& operator=(const Hmac&) = delete;

    bool Read(Digest& mac) {
        std::size_t length = mac.size();
        return written && !gcry_mac_read(handle, mac.data(), &length) && length == mac.size();
    }
    bool Matches(const std::uint8_t* expected) {
        return written && !gcry_mac_verify(handle, expected, digestSize);
    }

private:
    gcry_mac_hd_t handle = nullptr;
    bool written = false;
};
} // namespace

bool HmacSha256(const std::uint8_t* key, std::size_t keySize, const std::uint8_t* message,
                std::size_t messageSize, Digest& mac) {
    return Hmac(key, keySize, message, messageSize).Read(mac);
}

bool HmacSha256Matches(const std::uint8_t* key, std::size_t keySize, const std::uint8_t* message,
                       std::size_t messageSize, const std::uint8_t* expected) {
    return Hmac(key, keySize, message, messageSize).Matches(expected);
}

bool StrongRandom(std::uint8_t* bytes, std::size_t count) {
    std::string reason;
    if (!Initialize(reason)) {
        return false;
    }
    gcry_randomize(bytes, count, GCRY_STRONG_RANDOM);
    return true;
}

Aead::~Aead() {
    if (handle) {
        gcry_cipher_close(static_cast<gcry_cipher_hd_t>(handle));
    }
}

bool Aead::SetKey(const SecretKey& key) {
    std::string reason;
    if (!Initialize(reason)) {
        return false;
    }
    if (!handle) {
        gcry_cipher_hd_t opened = nullptr;
        if (gcry_cipher_open(&opened, GCRY_CIPHER_CHACHA20, GCRY_CIPHER_MODE_POLY1305, 0)) {
            return false;
        }
        handle = opened;
    }
    return !gcry_cipher_setkey(static_cast<gcry_cipher_hd_t>(handle), key.Data(), keySize);
}

bool Aead::Start(const Nonce& nonce, const std::uint8_t* associated, std::size_t associatedSize) {
    auto* cipher = static_cast<gcry_cipher_hd_t>(handle);
    if (!cipher || gcry_cipher_reset(cipher) ||
        gcry_cipher_setiv(cipher, nonce.data(), nonce.size())) {
        return false;
    }
    return associatedSize == 0 || !gcry_cipher_authenticate(cipher, associated, associatedSize);
}

bool Aead::Seal(const Nonce& nonce, const std::uint8_t* associated, std::size_t associatedSize,
                std::uint8_t* bytes, std::size_t size, Tag& tag) {
    if (!Start(nonce, associated, associatedSize)) {
        return false;
    }
    auto* cipher = static_cast<gcry_cipher_hd_t>(handle);
    gcry_cipher_final(cipher);
    return !gcry_cipher_encrypt(cipher, bytes, size, nullptr, 0) &&
           !gcry_cipher_gettag(cipher, tag.data(), tag.size());
}

bool Aead::Open(const Nonce& nonce, const std::uint8_t* associated, std::size_t associatedSize,
                std::uint8_t* bytes, std::size_t size, const std::uint8_t* tag) {
    if (!Start(nonce, associated, associatedSize)) {
        return false;
    }
    auto* cipher = static_cast<gcry_cipher_hd_t>(handle);
    gcry_cipher_final(cipher);
    return !gcry_cipher_decrypt(cipher, bytes, size, nullptr, 0) &&
           !gcry_cipher_checktag(cipher, tag, tagSize);
}

Sha256::Sha256() {
    std::string reason;
    gcry_md_hd_t opened = nullptr;
    if (Initialize(reason) && !gcry_md_open(&opened, GCRY_MD_SHA256, 0)) {
        handle = opened;
    }
}

Sha256::~Sha256() {
    if (handle) {
        gcry_md_close(static_cast<gcry_md_hd_t>(handle));
    }
}

void Sha256::Update(const std::uint8_t* bytes, std::size_t size) {
    if (handle) {
        gcry_md_write(static_cast<gcry_md_hd_t>(handle), bytes, size);
    }
}

Digest Sha256::Final() {
    Digest digest{};
    if (handle) {
        const unsigned char* read = gcry_md_read(static_cast<gcry_md_hd_t>(handle), GCRY_MD_SHA256);
        if (read) {
            std::copy(read, read + digest.size(), digest.begin());
        }
    }
    return digest;
}

} // namespace NBEngine::Crypto
