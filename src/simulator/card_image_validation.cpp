#include "simulator/card_image.h"

#include <algorithm>
#include <map>
#include <utility>

namespace pellucard {

namespace {

constexpr std::uint16_t kMasterFileId = 0x3F00;
constexpr std::size_t kMaxAtrLength = 33;     // ISO/IEC 7816-3: TS and at most 32 characters
constexpr std::size_t kMaxRecordCount = 254;  // record numbers 01..FE
constexpr std::size_t kMaxFileSize = 0xFFFF;  // two bytes in the SELECT response

QString Quoted(std::string_view text) {
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

bool CheckCode(const CardCode& code, const char* name, int maxAttempts, QString& error) {
    const auto& digits = code.digits;
    const bool digitsOnly =
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly || digits.size() < 4 || digits.size() > 8) {
        error = QStringLiteral("%1: the code must be 4 to 8 decimal digits, not %2")
                    .arg(QLatin1String(name), Quoted(digits));
        return false;
    }
    if (code.attemptsLeft < 0 || code.attemptsLeft > maxAttempts) {
        error = QStringLiteral("%1: attempts left must be 0 to %2, not %3")
                    .arg(QLatin1String(name))
                    .arg(maxAttempts)
                    .arg(code.attemptsLeft);
        return false;
    }
    return true;
}

bool CheckElementaryFile(const CardFile& file, QString& error) {
    const auto where = QStringLiteral("file %1").arg(Quoted(file.path));
    for (auto level : {file.access.read, file.access.update, file.access.increase,
                       file.access.rehabilitate, file.access.invalidate}) {
        if (level > 0xF) {
            error = where + QStringLiteral(": an access condition is not a nibble");
            return false;
        }
    }
    if (!file.IsRecordFile()) {
        if (file.body.size() > kMaxFileSize) {
            error = where + QStringLiteral(": %1 bytes, at most %2 fit a GSM file")
                                .arg(file.body.size())
                                .arg(kMaxFileSize);
            return false;
        }
        if (!file.records.empty()) {
            error = where + QStringLiteral(": a transparent file has no records");
            return false;
        }
        return true;
    }
    if (file.recordLength < 1 || file.recordLength > 255) {
        error =
            where +
            QStringLiteral(": the record length must be 1 to 255, not %1").arg(file.recordLength);
        return false;
    }
    if (file.records.empty() || file.records.size() > kMaxRecordCount) {
        error = where + QStringLiteral(": a record file holds 1 to %1 records, not %2")
                            .arg(kMaxRecordCount)
                            .arg(file.records.size());
        return false;
    }
    if (file.Size() > kMaxFileSize) {
        error = where + QStringLiteral(": %1 records of %2 bytes exceed the largest GSM file")
                            .arg(file.records.size())
                            .arg(file.recordLength);
        return false;
    }
    if (file.emptyRecord.size() != file.recordLength) {
        error = where + QStringLiteral(": the empty record has %1 bytes, the record length is %2")
                            .arg(file.emptyRecord.size())
                            .arg(file.recordLength);
        return false;
    }
    for (std::size_t i = 0; i < file.records.size(); ++i) {
        if (file.records[i].data.size() != file.recordLength) {
            error = where + QStringLiteral(", record %1: %2 bytes, the record length is %3")
                                .arg(i + 1)
                                .arg(file.records[i].data.size())
                                .arg(file.recordLength);
            return false;
        }
    }
    if (!file.body.empty()) {
        error = where + QStringLiteral(": a record file has no transparent body");
        return false;
    }
    return true;
}

// The files without which a host cannot identify a GSM card or find its directories.
bool CheckRequiredFiles(const CardImage& image, QString& error) {
    struct Required {
        const char* path;
        const char* name;
        SimFileType type;
        std::size_t size;  // 0: any
    };
    static constexpr Required kRequired[] = {
        {"3F00", "master file", SimFileType::kMaster, 0},
        {"3F00/2FE2", "ICCID", SimFileType::kElementary, 10},
        {"3F00/7F10", "DF Telecom", SimFileType::kDedicated, 0},
        {"3F00/7F20", "DF GSM", SimFileType::kDedicated, 0},
        {"3F00/7F20/6F07", "IMSI", SimFileType::kElementary, 9},
    };
    for (const auto& required : kRequired) {
        const auto* file = image.FindFile(required.path);
        if (!file) {
            error = QStringLiteral("the card has no %1 (%2)")
                        .arg(QLatin1String(required.name), QLatin1String(required.path));
            return false;
        }
        if (file->type != required.type) {
            error = QStringLiteral("%1 (%2) has the wrong file type")
                        .arg(QLatin1String(required.name), QLatin1String(required.path));
            return false;
        }
        if (required.size != 0 &&
            (file->structure != EfStructure::kTransparent || file->body.size() != required.size)) {
            error = QStringLiteral("%1 (%2) must be a transparent file of %3 bytes")
                        .arg(QLatin1String(required.name), QLatin1String(required.path))
                        .arg(required.size);
            return false;
        }
    }
    return true;
}

}  // namespace

const CardFile* CardImage::FindFile(std::string_view path) const {
    for (const auto& file : files) {
        if (file.path == path)
            return &file;
    }
    return nullptr;
}

CardFile* CardImage::FindFile(std::string_view path) {
    return const_cast<CardFile*>(std::as_const(*this).FindFile(path));
}

bool ParseFilePath(std::string_view path, std::vector<std::uint16_t>& ids) {
    std::vector<std::uint16_t> result;
    std::size_t start = 0;
    while (true) {
        const auto end = std::min(path.find('/', start), path.size());
        Bytes id;
        const auto part = path.substr(start, end - start);
        if (part.size() != 4 || !FromHex(part, id) || id.size() != 2)
            return false;
        result.push_back(static_cast<std::uint16_t>(id[0] << 8 | id[1]));
        if (end == path.size())
            break;
        start = end + 1;
    }
    ids = std::move(result);
    return true;
}

bool ValidateCardImage(const CardImage& image, QString& error) {
    if (image.atr.size() < 2 || image.atr.size() > kMaxAtrLength) {
        error = QStringLiteral("the answer to reset must have 2 to %1 bytes, not %2")
                    .arg(kMaxAtrLength)
                    .arg(image.atr.size());
        return false;
    }
    if (image.atr[0] != 0x3B && image.atr[0] != 0x3F) {
        error = QStringLiteral("the answer to reset must begin with 3B or 3F");
        return false;
    }
    if (!CheckCode(image.chv1, "CHV1", kChvAttempts, error) ||
        !CheckCode(image.unblockChv1, "unblock CHV1", kUnblockAttempts, error) ||
        !CheckCode(image.chv2, "CHV2", kChvAttempts, error) ||
        !CheckCode(image.unblockChv2, "unblock CHV2", kUnblockAttempts, error))
        return false;
    if (image.fileCharacteristics & 0x80) {
        error = QStringLiteral(
            "the file characteristics must leave bit 8 clear: it shows whether CHV1 is enabled");
        return false;
    }

    // Paths first, so that parents can be looked up by path below.
    std::map<std::string, const CardFile*> byPath;
    for (const auto& file : image.files) {
        std::vector<std::uint16_t> ids;
        if (!ParseFilePath(file.path, ids)) {
            error = QStringLiteral(
                        "file %1: a path is file identifiers of four hex digits joined by "
                        "\"/\", such as \"3F00/7F10/6F3A\"")
                        .arg(Quoted(file.path));
            return false;
        }
        if (ids.front() != kMasterFileId) {
            error = QStringLiteral("file %1: every path begins at the master file 3F00")
                        .arg(Quoted(file.path));
            return false;
        }
        const bool isMaster = ids.size() == 1;
        if (isMaster != (file.type == SimFileType::kMaster)) {
            error = QStringLiteral("file %1: only 3F00 is the master file, and it is one")
                        .arg(Quoted(file.path));
            return false;
        }
        if (!isMaster && (ids.back() == kMasterFileId || ids.back() == ids[ids.size() - 2])) {
            error = QStringLiteral("file %1: a file cannot share its identifier with %2")
                        .arg(Quoted(file.path), ids.back() == kMasterFileId
                                                    ? QStringLiteral("the master file")
                                                    : QStringLiteral("its directory"));
            return false;
        }
        if (!byPath.emplace(file.path, &file).second) {
            error = QStringLiteral("file %1 is listed twice").arg(Quoted(file.path));
            return false;
        }
    }
    for (const auto& file : image.files) {
        const auto slash = file.path.rfind('/');
        if (slash != std::string::npos) {
            const auto parentPath = file.path.substr(0, slash);
            const auto parent = byPath.find(parentPath);
            if (parent == byPath.end()) {
                error = QStringLiteral("file %1: its directory %2 is missing")
                            .arg(Quoted(file.path), Quoted(parentPath));
                return false;
            }
            if (parent->second->type == SimFileType::kElementary) {
                error = QStringLiteral("file %1: %2 is an elementary file, not a directory")
                            .arg(Quoted(file.path), Quoted(parentPath));
                return false;
            }
        }
        if (file.type == SimFileType::kElementary) {
            if (!CheckElementaryFile(file, error))
                return false;
        } else if (!file.body.empty() || !file.records.empty()) {
            error = QStringLiteral("file %1: a directory holds no data").arg(Quoted(file.path));
            return false;
        }
    }
    return CheckRequiredFiles(image, error);
}

}  // namespace pellucard
