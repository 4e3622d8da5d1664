#!/usr/bin/env python3
"""Writes data/cards/demo.json, the demo SIM card.

Every record is computed here from the GSM rules themselves (GSM 03.38 alphabet and 7-bit
packing, GSM 03.40 SMS TPDUs, GSM 11.11 file layouts and annex B alpha identifiers), without
any of Pellucard's own codecs, so that the demo card also serves as a set of independent test
vectors for them. Run from anywhere: python3 tools/make_demo_card.py
"""

import json
import os
import sys

from demo_usim_phonebook import usim_phone_book_files

# --- GSM 03.38 -----------------------------------------------------------------------------

# The default alphabet, code 0x00..0x7F; 0x1B is the escape to the extension table.
GSM_DEFAULT = (
    "@£$¥èéùìòÇ\nØø\rÅå"
    "Δ_ΦΓΛΩΠΨΣΘΞ\x1bÆæßÉ"
    " !\"#¤%&'()*+,-./"
    "0123456789:;<=>?"
    "¡ABCDEFGHIJKLMNO"
    "PQRSTUVWXYZÄÖÑÜ§"
    "¿abcdefghijklmno"
    "pqrstuvwxyzäöñüà"
)
assert len(GSM_DEFAULT) == 128
ESCAPE = 0x1B
GSM_EXTENSION = {"\f": 0x0A, "^": 0x14, "{": 0x28, "}": 0x29, "\\": 0x2F, "[": 0x3C, "~": 0x3D,
                 "]": 0x3E, "|": 0x40, "€": 0x65}


def gsm_code(char):
    index = GSM_DEFAULT.find(char)
    if index < 0 or index == ESCAPE:
        return None
    return index


def gsm_septets(text, extension=False):
    """The septets of a text in the default alphabet (and its extension table if allowed)."""
    septets = []
    for char in text:
        code = gsm_code(char)
        if code is not None:
            septets.append(code)
        elif extension and char in GSM_EXTENSION:
            septets += [ESCAPE, GSM_EXTENSION[char]]
        else:
            raise ValueError("%r is not in the GSM default alphabet" % char)
    return septets


def pack_septets(septets, header=b""):
    """GSM 03.38 6.1.2.1 packing, after an optional user data header (GSM 03.40 9.2.3.24):
    the header's octets come first and fill bits align the first septet to a septet boundary.
    Returns the user data octets and the user data length in septets."""
    bits = []
    for octet in header:
        bits += [(octet >> i) & 1 for i in range(8)]
    while len(bits) % 7:
        bits.append(0)  # fill bits
    for septet in septets:
        bits += [(septet >> i) & 1 for i in range(7)]
    length = len(bits) // 7
    while len(bits) % 8:
        bits.append(0)
    octets = bytes(sum(bits[i + j] << j for j in range(8)) for i in range(0, len(bits), 8))
    return octets, length


# --- Semi-octets ---------------------------------------------------------------------------

DIGIT_NIBBLES = {**{str(d): d for d in range(10)}, "*": 0xA, "#": 0xB, "P": 0xC}


def semi_octets(digits):
    """Dialling digits, two per octet, the first in the low nibble; an odd count ends in F."""
    nibbles = [DIGIT_NIBBLES[c] for c in digits]
    if len(nibbles) % 2:
        nibbles.append(0xF)
    return bytes(nibbles[i] | nibbles[i + 1] << 4 for i in range(0, len(nibbles), 2))


def split_number(number):
    """Type of number/numbering plan (ISDN plan) and the digits of a number."""
    if number.startswith("+"):
        return 0x91, number[1:]
    return 0x81, number


def pad(data, length, filler=0xFF):
    assert len(data) <= length, (data.hex(), length)
    return bytes(data) + bytes([filler]) * (length - len(data))


# --- GSM 11.11 annex B alpha identifiers ---------------------------------------------------

def alpha_gsm(text, length):
    return pad(bytes(gsm_septets(text)), length)


def alpha_ucs2_80(text, length):
    data = b"\x80" + b"".join(ord(c).to_bytes(2, "big") for c in text)
    return pad(data, length)


def alpha_ucs2_81(text, length):
    """0x81, count, base byte (bits 15..8 of a base pointer whose bit 16 and bits 7..1 are 0),
    then a GSM code (bit 8 clear) or base + offset (bit 8 set) per character."""
    wide = [ord(c) for c in text if gsm_code(c) is None]
    base = min(wide) & 0x7F80
    assert all(base <= c < base + 0x80 for c in wide)
    data = bytes([0x81, len(text), base >> 7])
    data += bytes(gsm_code(c) if gsm_code(c) is not None else 0x80 | (ord(c) - base)
                  for c in text)
    return pad(data, length)


def alpha_ucs2_82(text, length):
    """0x82, count, 16-bit base pointer (here the lowest character outside the GSM alphabet),
    then a GSM code or base + offset per character."""
    wide = [ord(c) for c in text if gsm_code(c) is None]
    base = min(wide)
    assert max(wide) - base < 0x80
    data = bytes([0x82, len(text)]) + base.to_bytes(2, "big")
    data += bytes(gsm_code(c) if gsm_code(c) is not None else 0x80 | (ord(c) - base)
                  for c in text)
    return pad(data, length)


# --- GSM 11.11 10.5.1 dialling number records (ADN, LND) -----------------------------------

NAME_LENGTH = 14
DIALLING_RECORD = NAME_LENGTH + 14


def dialling_record(alpha, number):
    """Name field, length of the BCD number contents (TON/NPI byte and digit bytes), TON/NPI,
    ten digit bytes, capability/configuration identifier FF, extension identifier FF."""
    if number:
        ton, digits = split_number(number)
        bcd = semi_octets(digits)
        assert len(bcd) <= 10
        number_part = bytes([1 + len(bcd), ton]) + pad(bcd, 10)
    else:
        number_part = b"\xFF" * 12
    return alpha + number_part + b"\xFF\xFF"


# --- GSM 03.40 short messages, GSM 11.11 10.5.3 SMS records --------------------------------

SMS_RECORD = 176
SERVICE_CENTRE = "+447700900000"


def sc_address(number):
    """RP service centre address: length in octets of TON/NPI and digits."""
    ton, digits = split_number(number)
    bcd = semi_octets(digits)
    return bytes([1 + len(bcd), ton]) + bcd


def tp_address(number):
    """TP address: length in useful semi-octets (digits), TON/NPI, digits."""
    ton, digits = split_number(number)
    return bytes([len(digits), ton]) + semi_octets(digits)


def tp_alphanumeric_address(text):
    """An alphanumeric originator (TON 101, NPI 0000): its 7-bit packed text, the length
    counting the semi-octets the packed text fills."""
    packed, septets = pack_septets(gsm_septets(text))
    return bytes([(septets * 7 + 3) // 4, 0xD0]) + packed


def swapped(value):
    return (value % 10) << 4 | value // 10


def timestamp(year, month, day, hour, minute, second, zone_quarters):
    """Seven swapped semi-octet octets; the time zone counts quarter hours, its sign in bit 3
    of the last octet."""
    zone = swapped(abs(zone_quarters)) | (0x08 if zone_quarters < 0 else 0)
    return bytes([swapped(year % 100), swapped(month), swapped(day), swapped(hour),
                  swapped(minute), swapped(second), zone])


def user_data(text, coding, header=b""):
    """Data coding scheme, user data length and user data."""
    if coding == "gsm":
        packed, septets = pack_septets(gsm_septets(text, extension=True), header)
        assert septets <= 160
        return 0x00, bytes([septets]) + packed
    data = text.encode("utf-16-be")
    if header:
        data = header + data
    assert len(data) <= 140
    return 0x08, bytes([len(data)]) + data


def concatenation_header(reference, total, part):
    """User data header with one concatenated-message element (IEI 00, 8-bit reference)."""
    return bytes([5, 0x00, 3, reference, total, part])


def deliver_record(status, sender, stamp, text, coding="gsm", header=b""):
    first_octet = 0x04 | (0x40 if header else 0)  # SMS-DELIVER, no more messages
    dcs, ud = user_data(text, coding, header)
    address = tp_alphanumeric_address(sender[1:]) if sender.startswith("@") else tp_address(sender)
    tpdu = bytes([first_octet]) + address + bytes([0x00, dcs]) + stamp + ud
    return pad(bytes([status]) + sc_address(SERVICE_CENTRE) + tpdu, SMS_RECORD)


def submit_record(status, reference, recipient, validity, text, coding="gsm"):
    first_octet = 0x11  # SMS-SUBMIT, relative validity period
    dcs, ud = user_data(text, coding)
    tpdu = (bytes([first_octet, reference]) + tp_address(recipient) + bytes([0x00, dcs, validity])
            + ud)
    return pad(bytes([status]) + sc_address(SERVICE_CENTRE) + tpdu, SMS_RECORD)


FREE_SMS = b"\x00" + b"\xFF" * (SMS_RECORD - 1)


# --- GSM 11.11 10.5.6 SMS parameters -------------------------------------------------------

SMSP_ALPHA = 12
SMSP_RECORD = SMSP_ALPHA + 28


def smsp_record(name, service_centre, validity):
    """Alpha identifier, parameter indicators (a 0 bit: present; here the service centre,
    protocol identifier, coding scheme and validity period, not the destination), destination
    address (12 bytes), service centre address (12 bytes), PID, DCS, validity period."""
    indicators = 0xE1
    sca = pad(sc_address(service_centre), 12)
    return (alpha_gsm(name, SMSP_ALPHA) + bytes([indicators]) + b"\xFF" * 12 + sca
            + bytes([0x00, 0x00, validity]))


# --- The card ------------------------------------------------------------------------------

def luhn_digit(digits):
    total = 0
    for i, c in enumerate(reversed(digits)):
        d = int(c) * (2 if i % 2 == 0 else 1)
        total += d - 9 if d > 9 else d
    return str((10 - total % 10) % 10)


ICCID = "898820000012345678"
ICCID += luhn_digit(ICCID)  # 19 digits: the last nibble of the file is the filler F
IMSI = "001010123456789"   # test network 001-01


def imsi_file(imsi):
    """Length, then the first digit with the parity/type nibble 1001 (odd count, IMSI) below
    it, then the remaining digits as semi-octets."""
    assert len(imsi) % 2 == 1
    nibbles = [0x9] + [int(c) for c in imsi]
    body = bytes(nibbles[i] | nibbles[i + 1] << 4 for i in range(0, len(nibbles), 2))
    return bytes([len(body)]) + body


def service_table(services):
    """Two bits a service (allocated, activated), service 1 in the lowest bits of byte 1."""
    table = bytearray(5)
    for service in services:
        index = service - 1
        table[index // 4] |= 0x03 << (2 * (index % 4))
    return bytes(table)


ACCESS_ICCID = {"read": "ALW", "update": "NEV", "increase": "NEV", "rehabilitate": "ADM",
                "invalidate": "ADM"}
ACCESS_PHONE_BOOK = {"read": "CHV1", "update": "CHV1", "increase": "NEV", "rehabilitate": "CHV2",
                     "invalidate": "CHV2"}
ACCESS_CHV1 = {"read": "CHV1", "update": "CHV1", "increase": "NEV", "rehabilitate": "ADM",
               "invalidate": "ADM"}
ACCESS_FIXED_DIALLING = {"read": "CHV1", "update": "CHV2", "increase": "NEV",
                         "rehabilitate": "CHV2", "invalidate": "ADM"}
ACCESS_OPERATOR = {"read": "CHV1", "update": "ADM", "increase": "NEV", "rehabilitate": "ADM",
                   "invalidate": "ADM"}
ACCESS_IMSI = {"read": "CHV1", "update": "ADM", "increase": "NEV", "rehabilitate": "CHV1",
               "invalidate": "ADM"}
ACCESS_PUBLIC = {"read": "ALW", "update": "ADM", "increase": "NEV", "rehabilitate": "ADM",
                 "invalidate": "ADM"}

PHONE_BOOK = [
    ("Alice Martin", "gsm", "+441632960123", "international number"),
    ("José Müller", "gsm", "0301234567", "accents of the GSM alphabet, national number"),
    None,
    ("王小明", "80", "+8613800138000", "Chinese, UCS2 form 0x80"),
    ("Достоевский", "81", "+74951234567",
     "Cyrillic, UCS2 form 0x81: 11 characters, form 0x80 would hold only 6"),
    None,
    None,
    ("Γιώργος", "82", "+302101234567",
     "Greek, UCS2 form 0x82 (base 03B3); the capital Gamma is the GSM code 13"),
    ("Balance", "gsm", "*100#", "service code with * and #"),
    ("Office ext", "gsm", "+31201234567P123", "pause (nibble C) before the extension"),
    ("Åsa Ødegård", "gsm", "0701234567", "Scandinavian letters of the GSM alphabet"),
    ("Пётр Ильич", "81", "+79161234567", "Cyrillic with a space, UCS2 form 0x81"),
    None,
    None,
    ("Maximilian Ost", "gsm", "00498912345678", "name fills all 14 bytes, no FF"),
    ("Info@Pellucard", "gsm", "+3225551234", "commercial at is GSM code 00 inside the name"),
    ("", "gsm", "112", "number without a name"),
    ("Name only", "gsm", "", "name without a number"),
    ("Longest number", "gsm", "12345678901234567890", "20 digits fill the number field"),
    ("Hidden ID", "gsm", "#31#0301234567", "# inside the number"),
]
PHONE_BOOK_RECORDS = 250

ALPHA_FORMS = {"gsm": alpha_gsm, "80": alpha_ucs2_80, "81": alpha_ucs2_81, "82": alpha_ucs2_82}

CONCATENATED = (
    "This long message arrives in three parts. Each part carries a user data header that "
    "names the message (reference 5A), the number of parts (3) and its own place among them, "
    "so that a phone can put them together again in the right order, whatever order the "
    "network delivered them in. The header takes seven septets of the 160 a part can hold, "
    "which leaves 153 for the text. This is the end of the third and last part."
)


def concatenated_parts(text, reference):
    chunks = [text[i:i + 153] for i in range(0, len(text), 153)]
    return [(concatenation_header(reference, len(chunks), n + 1), chunk)
            for n, chunk in enumerate(chunks)]


def sms_records():
    records = [
        (deliver_record(0x01, "+441632960123", timestamp(24, 3, 15, 10, 30, 0, 4),
                        "Hello from Alice! Dinner at 8 @ Luigi's?"),
         "received, read; from +441632960123; 2024-03-15 10:30:00 +01:00; 7-bit: "
         "Hello from Alice! Dinner at 8 @ Luigi's?"),
        (deliver_record(0x03, "0301234567", timestamp(24, 3, 16, 18, 5, 42, 4),
                        "Grüße aus München! Bis bald, José"),
         "received, unread; from national 0301234567; 2024-03-16 18:05:42 +01:00; 7-bit: "
         "Grüße aus München! Bis bald, José"),
        (FREE_SMS, "free"),
        (submit_record(0x05, 0x2A, "+441632960123", 0xA7, "On my way,\nback at 10."),
         "sent; to +441632960123; message reference 2A; validity A7 (24 hours); 7-bit with "
         "a line feed: On my way,\\nback at 10."),
        (submit_record(0x07, 0x00, "+302101234567", 0xAD, "Καλημέρα! Τι κάνεις;", "ucs2"),
         "to be sent; to +302101234567; validity AD (1 week); UCS2: Καλημέρα! Τι κάνεις;"),
        (deliver_record(0x01, "+8613800138000", timestamp(24, 2, 10, 8, 0, 0, 32),
                        "你好！周末见。", "ucs2"),
         "received, read; from +8613800138000; 2024-02-10 08:00:00 +08:00; UCS2: 你好！周末见。"),
        (deliver_record(0x03, "+441632960456", timestamp(24, 3, 20, 14, 45, 10, -16),
                        "Total: 12€ [incl. tax] {ref~42} a|b ^ \\ done"),
         "received, unread; from +441632960456; 2024-03-20 14:45:10 -04:00; 7-bit with the "
         "extension table (escape 1B): Total: 12€ [incl. tax] {ref~42} a|b ^ \\ done"),
        (deliver_record(0x01, "@Pellucard", timestamp(24, 3, 21, 9, 0, 0, 0),
                        "Your code is 4711"),
         "received, read; from the alphanumeric sender Pellucard (TON D0); "
         "2024-03-21 09:00:00 +00:00; 7-bit: Your code is 4711"),
    ]
    for n, (header, chunk) in enumerate(concatenated_parts(CONCATENATED, 0x5A)):
        status = 0x01 if n == 0 else 0x03
        records.append((deliver_record(status, "+447700900123",
                                       timestamp(24, 3, 22, 12, 0, n, 4), chunk, header=header),
                        "%s; from +447700900123; 2024-03-22 12:00:%02d +01:00; part %d of 3 "
                        "of concatenated message 5A (user data header 050003 5A 03 %02X); "
                        "7-bit: %s" % ("received, read" if status == 1 else "received, unread",
                                       n, n + 1, n + 1, chunk)))
    return records


SMS_RECORDS = 30
LAST_DIALLED_RECORDS = 10


def record_list(entries):
    return [{"comment": comment, "data": data.hex().upper()} for data, comment in entries]


def phone_book_records():
    entries = []
    for entry in PHONE_BOOK:
        if entry is None:
            entries.append((b"\xFF" * DIALLING_RECORD, "empty"))
            continue
        name, form, number, note = entry
        record = dialling_record(ALPHA_FORMS[form](name, NAME_LENGTH), number)
        shown_name = name or "(no name)"
        shown_number = number or "(no number)"
        entries.append((record, "%s | %s | %s" % (shown_name, shown_number, note)))
    return record_list(entries)


def ef(path, comment, structure, access, **fields):
    file = {"path": path, "type": "EF", "comment": comment, "structure": structure}
    if structure != "transparent":
        file["record_length"] = fields.pop("record_length")
        file["record_count"] = fields.pop("record_count")
    file["access"] = access
    file.update(fields)
    return file


def card():
    iccid = pad(semi_octets(ICCID), 10)
    spn = bytes([0x01]) + alpha_gsm("Télé Pellucard", 16)
    sst = service_table([1, 2, 3, 4, 9, 12, 13, 17, 18])
    return {
        "format": "pellucard-sim-card",
        "version": 1,
        "description": "Pellucard demo card: GSM phase 2+ SIM. PIN1 1234 (unblock 12345678), "
                       "PIN2 5678 (unblock 87654321). Made by tools/make_demo_card.py.",
        "atr": "3B1994" + b"PELLUCARD".hex().upper(),
        "file_characteristics": "13",
        "free_memory": 2048,
        "codes": {
            "chv1": {"code": "1234", "attempts_left": 3, "enabled": True},
            "unblock_chv1": {"code": "12345678", "attempts_left": 10},
            "chv2": {"code": "5678", "attempts_left": 3},
            "unblock_chv2": {"code": "87654321", "attempts_left": 10},
        },
        "files": [
            {"path": "3F00", "type": "MF", "comment": "master file"},
            ef("3F00/2FE2", "ICCID " + ICCID, "transparent", ACCESS_ICCID,
               data=iccid.hex().upper()),
            {"path": "3F00/7F10", "type": "DF", "comment": "DF Telecom"},
            ef("3F00/7F10/6F3A", "abbreviated dialling numbers (phone book): name | number | "
               "what the record shows", "linear fixed", ACCESS_PHONE_BOOK,
               record_length=DIALLING_RECORD, record_count=PHONE_BOOK_RECORDS,
               records=phone_book_records()),
            ef("3F00/7F10/6F3C", "short messages: status; address; time stamp; text",
               "linear fixed", ACCESS_CHV1, record_length=SMS_RECORD, record_count=SMS_RECORDS,
               empty_record=FREE_SMS.hex().upper(), records=record_list(sms_records())),
            ef("3F00/7F10/6F42", "SMS parameters; the service centre number is 15 bytes from "
               "the end of a record", "linear fixed", ACCESS_CHV1, record_length=SMSP_RECORD,
               record_count=2, records=record_list([
                   (smsp_record("Home", SERVICE_CENTRE, 0xA7),
                    "Home: service centre " + SERVICE_CENTRE + ", validity A7"),
                   (smsp_record("Travel", "+447700900999", 0xAA),
                    "Travel: service centre +447700900999, validity AA"),
               ])),
            ef("3F00/7F10/6F44", "last numbers dialled; record 1 is the latest", "cyclic",
               ACCESS_CHV1, record_length=DIALLING_RECORD, record_count=LAST_DIALLED_RECORDS,
               records=record_list([
                   (dialling_record(alpha_gsm("Alice Martin", NAME_LENGTH), "+441632960123"),
                    "Alice Martin | +441632960123"),
                   (dialling_record(b"\xFF" * NAME_LENGTH, "0301234567"),
                    "(no name) | 0301234567"),
               ])),
            ef("3F00/7F10/6F3B", "fixed dialling numbers: updated after PIN2", "linear fixed",
               ACCESS_FIXED_DIALLING, record_length=DIALLING_RECORD, record_count=5,
               records=record_list([
                   (dialling_record(alpha_gsm("Home", NAME_LENGTH), "+441632960000"),
                    "Home | +441632960000"),
                   (dialling_record(alpha_gsm("Office", NAME_LENGTH), "0301234567"),
                    "Office | 0301234567"),
               ])),
            ef("3F00/7F10/6F40", "own numbers (MSISDN)", "linear fixed", ACCESS_CHV1,
               record_length=DIALLING_RECORD, record_count=2, records=record_list([
                   (dialling_record(alpha_gsm("Voice", NAME_LENGTH), "+447700900123"),
                    "Voice | +447700900123"),
               ])),
            ef("3F00/7F10/6F49", "service dialling numbers: the operator's, read only",
               "linear fixed", ACCESS_OPERATOR, record_length=DIALLING_RECORD, record_count=3,
               records=record_list([
                   (dialling_record(alpha_gsm("Customer care", NAME_LENGTH), "150"),
                    "Customer care | 150"),
                   (dialling_record(alpha_gsm("Voicemail", NAME_LENGTH), "121"),
                    "Voicemail | 121"),
               ])),
            {"path": "3F00/7F20", "type": "DF", "comment": "DF GSM"},
            ef("3F00/7F20/6F07", "IMSI " + IMSI, "transparent", ACCESS_IMSI,
               data=imsi_file(IMSI).hex().upper()),
            ef("3F00/7F20/6F46", "service provider name: display condition 01, "
               "\"Télé Pellucard\"", "transparent", ACCESS_PUBLIC, data=spn.hex().upper()),
            ef("3F00/7F20/6F38", "SIM service table: services 1 (CHV1 disable), 2 (ADN), "
               "3 (FDN), 4 (SMS), 9 (MSISDN), 12 (SMSP), 13 (LND), 17 (SPN), 18 (SDN) allocated and "
               "activated",
               "transparent", ACCESS_PUBLIC, data=sst.hex().upper()),
            ef("3F00/7F20/6FAE", "phase: 03 = phase 2+", "transparent", ACCESS_PUBLIC,
               data="03"),
        ] + usim_phone_book_files(ef, ACCESS_PHONE_BOOK, ACCESS_PUBLIC, dialling_record, alpha_gsm, record_list),
    }


# --- The card image's JSON layout: keys in reading order, plain objects on one line, one
# list element a line (as Pellucard writes card images). --------------------------------------

def render(value, indent=0):
    if isinstance(value, dict):
        flat = not any(isinstance(v, (dict, list)) for v in value.values())
        items = ["%s: %s" % (json.dumps(k, ensure_ascii=False), render(v, indent + 4))
                 for k, v in value.items()]
        if flat:
            return "{" + ", ".join(items) + "}"
        inner = " " * (indent + 4)
        return "{\n" + ",\n".join(inner + item for item in items) + "\n" + " " * indent + "}"
    if isinstance(value, list):
        if not value:
            return "[]"
        inner = " " * (indent + 4)
        return ("[\n" + ",\n".join(inner + render(v, indent + 4) for v in value) + "\n"
                + " " * indent + "]")
    return json.dumps(value, ensure_ascii=False)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(root, "data", "cards", "demo.json")
    if len(sys.argv) > 1:
        target = sys.argv[1]
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="utf-8", newline="\n") as out:
        out.write(render(card()) + "\n")
    print("wrote", target)


if __name__ == "__main__":
    main()
