#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bytes.h"
#include "engine/status_words.h"

namespace pellucard {

// A GSM SIM card at rest: its answer to reset, its secret codes and its files. A card image is
// what a virtual card is made from and what it is saved back to; on disk it is a JSON document
// (see card_image_json.cpp) that a person can read and edit.

// File types, valued as byte 6 of the GSM 11.11 SELECT response.
enum class SimFileType : std::uint8_t { kMaster = 0x01, kDedicated = 0x02, kElementary = 0x04 };

// Elementary file structures, valued as byte 13 of the GSM 11.11 SELECT response.
enum class EfStructure : std::uint8_t { kTransparent = 0x00, kLinearFixed = 0x01, kCyclic = 0x03 };

// GSM 11.11 access condition levels (one nibble each): 0 ALW, 1 CHV1, 2 CHV2, 3 RFU,
// 4..E ADM, F NEV.
namespace access_level {
inline constexpr std::uint8_t kAlways = 0x0;
inline constexpr std::uint8_t kChv1 = 0x1;
inline constexpr std::uint8_t kChv2 = 0x2;
inline constexpr std::uint8_t kAdm = 0x4;
inline constexpr std::uint8_t kNever = 0xF;
}  // namespace access_level

struct AccessConditions {
    std::uint8_t read = access_level::kAdm;  // also SEEK
    std::uint8_t update = access_level::kAdm;
    std::uint8_t increase = access_level::kNever;
    std::uint8_t rehabilitate = access_level::kAdm;
    std::uint8_t invalidate = access_level::kAdm;

    bool operator==(const AccessConditions&) const = default;
};

struct CardRecord {
    Bytes data;
    // A note for people reading the image (what the record holds); the card never reads it.
    // It is dropped when the record's contents change, so that it cannot go stale.
    std::string comment;

    bool operator==(const CardRecord&) const = default;
};

struct CardFile {
    std::string path;  // file identifiers from the master file down: "3F00/7F10/6F3A"
    SimFileType type = SimFileType::kElementary;
    std::string comment;  // what the file is, for people reading the image

    // Elementary files only.
    EfStructure structure = EfStructure::kTransparent;
    AccessConditions access;
    bool invalidated = false;
    bool readableWhenInvalidated = false;
    bool increaseAllowed = false;  // cyclic files: byte 7 of the SELECT response
    Bytes body;                    // transparent files
    std::size_t recordLength = 0;  // linear fixed and cyclic files
    // Record 1 first. In a cyclic file record 1 is the one written last.
    std::vector<CardRecord> records;
    // What an unused record holds (all FF unless the image says otherwise, e.g. 00 FF .. FF
    // for a free SMS record); an image lists records only up to its last used one.
    Bytes emptyRecord;

    bool IsRecordFile() const {
        return type == SimFileType::kElementary && structure != EfStructure::kTransparent;
    }
    std::size_t Size() const {
        return IsRecordFile() ? recordLength * records.size() : body.size();
    }

    bool operator==(const CardFile&) const = default;
};

// A CHV or unblock code: its decimal digits (GSM 11.11 9.3: 4 to 8 digits, sent as their
// character codes padded with FF) and the attempts left before it blocks.
struct CardCode {
    std::string digits;
    int attemptsLeft = 0;

    bool operator==(const CardCode&) const = default;
};

// A refusal the card is told to give, for tests and demonstrations: a READ or an UPDATE of a
// file's records (or of a transparent file's body) answered with a chosen status word instead
// of being executed.
struct CardRefusal {
    enum class Command { Read, Update };
    std::string path;  // "3F00/7F10/6F3A", or its tail ("6F3A", "7F10/6F3A")
    Command command = Command::Read;
    int record = 0;  // 1..255, or 0 for every record and the body of a transparent file
    std::uint16_t statusWord = status_word::kAccessConditionNotFulfilled;

    // Whether this refusal applies to `command` on record `record` (1-based; 0 for the body) of
    // the file at `filePath`.
    bool Applies(const std::string& filePath, Command what, int number) const;

    bool operator==(const CardRefusal&) const = default;
};

// Parses "read:6F3A:17:9804" (command, file, record or "*", status word in hex); false with a
// one-line error when the text is not one.
bool ParseCardRefusal(std::string_view text, CardRefusal& refusal, std::string& error);
std::string CardRefusalText(const CardRefusal& refusal);

inline constexpr int kChvAttempts = 3;
inline constexpr int kUnblockAttempts = 10;

struct CardImage {
    std::string description;
    Bytes atr;
    // Byte 13 of a directory's SELECT response without the CHV1-disabled bit (0x80), which
    // follows the CHV1 state.
    std::uint8_t fileCharacteristics = 0x13;
    std::uint16_t freeMemory = 0;  // bytes 2..3 of a directory's SELECT response
    CardCode chv1;
    CardCode unblockChv1;
    CardCode chv2;
    CardCode unblockChv2;
    bool chv1Enabled = true;  // CHV2 cannot be disabled on a GSM card
    std::vector<CardFile> files;
    std::vector<CardRefusal> refusals;

    const CardFile* FindFile(std::string_view path) const;
    CardFile* FindFile(std::string_view path);

    bool operator==(const CardImage&) const = default;
};

// Splits "3F00/7F10/6F3A" into its identifiers; false when a part is not four hex digits.
bool ParseFilePath(std::string_view path, std::vector<std::uint16_t>& ids);

// Checks everything a virtual card relies on: the answer to reset, the codes and their
// counters, a consistent file tree below 3F00 that holds the files every GSM card has (ICCID,
// DF Telecom, DF GSM, IMSI), record lengths and counts. The error names the offending part.
bool ValidateCardImage(const CardImage& image, QString& error);

// The JSON form. Parsing checks the document and then ValidateCardImage; on failure the image
// is left untouched and the error says what is wrong and where.
bool ParseCardImage(const QByteArray& json, CardImage& image, QString& error);
QByteArray SerializeCardImage(const CardImage& image);

bool ReadCardImageFile(const QString& path, CardImage& image, QString& error);
// Writes through a temporary file, so a failed save leaves the previous file as it was.
bool WriteCardImageFile(const QString& path, const CardImage& image, QString& error);

// The demo card, compiled in (the same document as data/cards/demo.json).
inline constexpr char kDemoCardResource[] = ":/cards/demo.json";

}  // namespace pellucard
