// decode and encode: the codecs on one record or field, no card needed.
#include <QJsonObject>

#include "cli/cli.h"
#include "cli/record_json.h"
#include "engine/codec_alpha.h"
#include "engine/codec_digits.h"

namespace pellucard::cli {

namespace {

Bytes HexArgument(const Arguments& args) {
    std::string hex;
    for (std::size_t i = 2; i < args.Positional().size(); ++i)
        hex += args.Positional()[i];
    if (args.Positional().size() < 3)
        throw Failure{kUsage, "missing the hex bytes"};
    Bytes bytes;
    if (!FromHex(hex, bytes))
        throw Failure{kUsage, "not hex: " + hex};
    return bytes;
}

void Print(const Globals& globals, const QJsonObject& o, const std::string& plain) {
    if (globals.json) {
        PrintJson(o);
    } else {
        PrintLine(plain);
    }
}

// --form names the UCS2 form by its first byte: 128 (0x80), 129 (0x81) or 130 (0x82).
AlphaForm Form(const Arguments& args) {
    return static_cast<AlphaForm>(args.IntOption("form", AlphaMark(AlphaForm::Ucs2), 128, 130));
}

}  // namespace

int RunDecode(const Globals& globals, const Arguments& args) {
    args.Expect({});
    const std::string kind = args.Positional(1, "adn, alpha, sms or digits");
    const Bytes bytes = HexArgument(args);
    if (kind == "adn") {
        const auto entry = DecodePhoneBookRecord(bytes);
        QJsonObject o{{"name", QString::fromStdString(entry.name)},
                      {"number", QString::fromStdString(entry.Number())}};
        Print(globals, o, entry.name + "\t" + entry.Number());
    } else if (kind == "alpha") {
        const auto text = DecodeAlpha(std::span<const std::uint8_t>(bytes));
        Print(globals, QJsonObject{{"text", QString::fromStdString(text)}}, text);
    } else if (kind == "sms") {
        const auto record = DecodeSmsRecord(bytes);
        auto o = SmsJson(0, record);
        o.remove("slot");
        o.remove("raw");
        Print(globals, o,
              "status " + std::to_string(record.status) + "\t" + record.AddressText() + "\t" +
                  record.text);
    } else if (kind == "digits") {
        const auto digits = DecodeDigits(bytes, 0, static_cast<int>(bytes.size()));
        Print(globals, QJsonObject{{"digits", QString::fromStdString(digits)}}, digits);
    } else {
        throw Failure{kUsage, "unknown kind '" + kind + "': use adn, alpha, sms or digits"};
    }
    return kSuccess;
}

int RunEncode(const Globals& globals, const Arguments& args) {
    const std::string kind = args.Positional(1, "adn, alpha, sms or digits");
    Bytes out;
    if (kind == "adn") {
        args.Expect({"record-length", "name", "number", "form"});
        const int length = args.IntOption("record-length", 0, 14, 255);
        if (!args.Option("record-length"))
            throw Failure{kUsage, "missing option --record-length"};
        out = EncodePhoneBookRecord(args.Option("number").value_or(""),
                                    args.Option("name").value_or(""), length, Form(args));
    } else if (kind == "alpha") {
        args.Expect({"length", "form"});
        if (!args.Option("length"))
            throw Failure{kUsage, "missing option --length"};
        const int length = args.IntOption("length", 0, 1, 255);
        out = EncodeAlpha(args.Positional(2, "the text"), static_cast<std::size_t>(length),
                          Form(args));
    } else if (kind == "digits") {
        args.Expect({"max-digits"});
        if (!args.Option("max-digits"))
            throw Failure{kUsage, "missing option --max-digits"};
        const int maxDigits = args.IntOption("max-digits", 0, 1, 255);
        std::size_t position = 0;
        EncodeDigits(args.Positional(2, "the digits"), maxDigits, out, position);
    } else if (kind == "sms") {
        args.Expect({"status", "address", "text", "sc", "timestamp", "validity"});
        const int status = args.IntOption("status", -1, 0, 7);
        if (status != 0 && status != 1 && status != 3 && status != 5 && status != 7) {
            throw Failure{kUsage, "--status must be 0, 1, 3, 5 or 7"};
        }
        SmsTimeStamp stamp;
        if (const auto text = args.Option("timestamp")) {
            std::array<int, 7> values{};
            int count = 0;
            std::size_t at = 0;
            while (count < 7) {
                const auto comma = text->find(',', at);
                values[count++] = std::atoi(text->substr(at, comma - at).c_str());
                if (comma == std::string::npos)
                    break;
                at = comma + 1;
            }
            if (count != 7)
                throw Failure{kUsage, "--timestamp takes yy,mm,dd,hh,mi,ss,tz"};
            stamp = SmsTimeStamp::FromValues(values);
        }
        out = EncodeSmsRecord(args.Option("address").value_or(""), args.Option("text").value_or(""),
                              status, stamp, args.Option("sc").value_or(""),
                              args.IntOption("validity", 167, 0, 255));
    } else {
        throw Failure{kUsage, "unknown kind '" + kind + "': use adn, alpha, sms or digits"};
    }
    if (out.empty())
        throw Failure{kUsage, "nothing to encode with these sizes"};
    Print(globals, QJsonObject{{"hex", QString::fromStdString(ToHex(out))}}, ToHex(out));
    return kSuccess;
}

}  // namespace pellucard::cli
