"""The demo card's USIM phone book (3GPP TS 31.102 4.4.2): DF PHONEBOOK under DF Telecom, which
only the virtual USIM shows (its ADN file is the card's phone book, 6F3A, that the USIM keeps as
5F3A/4F3A). EF PBR lists one block: type 1 ADN, IAP, ANR, SNE, GRP and PBC; type 2 EMAIL and a
second ANR, found through EF IAP; type 3 EXT1, AAS and GAS. Every record is written from the
layouts of TS 31.102, as make_demo_card.py writes the GSM files, without Pellucard's codecs.
"""

PHONE_BOOK = "3F00/7F10/5F3A"
ADN_SFI = 0x01
RECORDS = 250  # as many as the ADN file
EMAIL_RECORDS = 20
ANR2_RECORDS = 20
EMAIL_LENGTH = 30  # the address field; type 2 records carry two more bytes
SNE_LENGTH = 12
GROUP_SLOTS = 2
TYPE_LENGTH = 10
GROUP_NAME_LENGTH = 12

NUMBER_TYPES = ["Mobile", "Work", "Home"]
GROUP_NAMES = ["Family", "Work", "Friends"]

# ADN record: (ANR type, ANR number), second name, e-mail, groups, (second ANR type, number).
CONTACTS = {
    1: (("Home", "+441632960456"), "Ali", "alice@example.org", ["Family"], None),
    2: (("Work", "0309876543"), "", "jose.mueller@example.com", ["Work"],
        ("Mobile", "+4915112345678")),
    4: (None, "", "xiaoming@example.cn", ["Friends", "Work"], None),
}

# EF PBR: tag, file identifier, short file identifier (None: none given).
TYPE1 = [(0xC0, 0x4F3A, ADN_SFI), (0xC1, 0x4F25, None), (0xC4, 0x4F11, None),
         (0xC3, 0x4F19, None), (0xC6, 0x4F26, None), (0xC5, 0x4F09, None)]
TYPE2 = [(0xCA, 0x4F50, None), (0xC4, 0x4F12, None)]  # IAP byte 1 EMAIL, byte 2 ANR
TYPE3 = [(0xC2, 0x4F4A, None), (0xC7, 0x4F4B, None), (0xC8, 0x4F4C, None)]
PBR_LENGTH = 64


def usim_phone_book_files(ef, access, pbr_access, dialling_record, alpha_gsm, record_list):
    def tlv(tag, value):
        return bytes([tag, len(value)]) + value

    def references(files):
        return b"".join(tlv(tag, fid.to_bytes(2, "big") + (bytes([sfi]) if sfi else b""))
                        for tag, fid, sfi in files)

    pbr = tlv(0xA8, references(TYPE1)) + tlv(0xA9, references(TYPE2)) + tlv(0xAA, references(TYPE3))
    pbr = pbr + b"\xFF" * (PBR_LENGTH - len(pbr))

    def anr(kind, number, link=b""):
        aas = NUMBER_TYPES.index(kind) + 1 if kind else 0
        return bytes([aas]) + dialling_record(b"", number) + link

    def listed(count, filler, made):
        """Records 1..last used, the unused ones as `filler`."""
        last = max(made) if made else 0
        return record_list([made.get(n, (filler, "empty")) for n in range(1, last + 1)])

    anr1, sne, grp, iap, pbc, email, anr2 = {}, {}, {}, {}, {}, {}, {}
    for record, (first, second_name, address, groups, second) in sorted(CONTACTS.items()):
        link = bytes([ADN_SFI, record])
        pointers = [0xFF, 0xFF]
        if first:
            anr1[record] = (anr(*first), "%s: %s" % first)
        if second_name:
            sne[record] = (alpha_gsm(second_name, SNE_LENGTH), second_name)
        ids = [GROUP_NAMES.index(g) + 1 for g in groups]
        grp[record] = (bytes(ids + [0] * (GROUP_SLOTS - len(ids))), ", ".join(groups))
        if address:
            at = len(email) + 1
            email[at] = (alpha_gsm(address, EMAIL_LENGTH) + link,
                         "%s of ADN record %d" % (address, record))
            pointers[0] = at
        if second:
            at = len(anr2) + 1
            anr2[at] = (anr(*second, link), "%s: %s of ADN record %d" % (second + (record,)))
            pointers[1] = at
        iap[record] = (bytes(pointers), "EMAIL %s, ANR %s" % tuple(
            "none" if p == 0xFF else "record %d" % p for p in pointers))
        pbc[record] = (b"\x00\x00", "not changed since the last synchronisation")

    def linear(fid, comment, length, count, made, empty):
        fields = {"records": listed(count, empty, made)}
        if empty != b"\xFF" * length:  # all FF goes without saying
            fields = {"empty_record": empty.hex().upper(), **fields}
        return ef("%s/%04X" % (PHONE_BOOK, fid), comment, "linear fixed", access,
                  record_length=length, record_count=count, **fields)

    def names(texts, length):
        return {n + 1: (alpha_gsm(t, length), t) for n, t in enumerate(texts)}

    return [
        {"path": PHONE_BOOK, "type": "DF", "comment": "DF phone book: the global USIM phone "
         "book; its ADN file is 6F3A"},
        ef(PHONE_BOOK + "/4F30", "EF PBR: type 1 ADN (SFI 01), IAP, ANR, SNE, GRP, PBC; "
           "type 2 EMAIL, ANR; type 3 EXT1, AAS, GAS", "linear fixed", pbr_access,
           record_length=PBR_LENGTH, record_count=1,
           records=record_list([(pbr, "the one block of the phone book")])),
        linear(0x4F25, "EF IAP: records of EMAIL and the second ANR", 2, RECORDS, iap,
               b"\xFF\xFF"),
        linear(0x4F11, "EF ANR (type 1): AAS record, number", 15, RECORDS, anr1, b"\xFF" * 15),
        linear(0x4F19, "EF SNE: second names", SNE_LENGTH, RECORDS, sne, b"\xFF" * SNE_LENGTH),
        linear(0x4F26, "EF GRP: EF GAS records of each entry's groups", GROUP_SLOTS, RECORDS, grp,
               b"\x00" * GROUP_SLOTS),
        linear(0x4F09, "EF PBC: entry control, hidden entry", 2, RECORDS, pbc, b"\x00\x00"),
        linear(0x4F50, "EF EMAIL (type 2): address, ADN SFI, ADN record", EMAIL_LENGTH + 2,
               EMAIL_RECORDS, email, b"\xFF" * (EMAIL_LENGTH + 2)),
        linear(0x4F12, "EF ANR (type 2): AAS record, number, ADN SFI, ADN record", 17,
               ANR2_RECORDS, anr2, b"\xFF" * 17),
        linear(0x4F4A, "EF EXT1", 13, 10, {}, b"\x00" + b"\xFF" * 12),
        linear(0x4F4B, "EF AAS: the types of additional numbers", TYPE_LENGTH, 5,
               names(NUMBER_TYPES, TYPE_LENGTH), b"\xFF" * TYPE_LENGTH),
        linear(0x4F4C, "EF GAS: the names of groups", GROUP_NAME_LENGTH, 5,
               names(GROUP_NAMES, GROUP_NAME_LENGTH), b"\xFF" * GROUP_NAME_LENGTH),
        ef(PHONE_BOOK + "/4F22", "EF PSC: phone book synchronisation counter", "transparent",
           access, data="00000001"),
        ef(PHONE_BOOK + "/4F23", "EF CC: change counter", "transparent", access, data="0005"),
        ef(PHONE_BOOK + "/4F24", "EF PUID: previous unique identifier", "transparent", access,
           data="0000"),
    ]
