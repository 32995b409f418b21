#include "tests/firmware/testimages.h"

#include "firmware/crc32.h"
#include "firmware/imagebuilder.h"

DWORD EntryWord(std::string_view tag, BYTE length) {
    return (static_cast<DWORD>(static_cast<BYTE>(tag[0])) << 24) |
           (static_cast<DWORD>(static_cast<BYTE>(tag[1])) << 16) |
           (static_cast<DWORD>(static_cast<BYTE>(tag[2])) << 8) | length;
}

void PutWord(std::vector<BYTE>* image, std::size_t offset, DWORD value) {
    WriteBigEndian32(image->data() + offset, value);
}

void ResealHeader(std::vector<BYTE>* image) {
    const BYTE* bytes = image->data();
    const DWORD headerLength = (DWORD{bytes[4]} << 24) | (DWORD{bytes[5]} << 16) |
                               (DWORD{bytes[6]} << 8) | DWORD{bytes[7]};
    PutWord(image, headerLength - 4, Crc32(0xFFFFFFFF, bytes, headerLength - 4));
}

std::vector<BYTE> ImageFromWords(std::initializer_list<DWORD> words,
                                 const std::vector<BYTE>& payload) {
    const std::size_t headerLength = 8 + 4 * words.size() + 4;
    std::vector<BYTE> image(headerLength);
    PutWord(&image, 0, 0x516F7248);  // "QorH"
    PutWord(&image, 4, static_cast<DWORD>(headerLength));
    std::size_t offset = 8;
    for (DWORD word : words) {
        PutWord(&image, offset, word);
        offset += 4;
    }
    ResealHeader(&image);
    image.insert(image.end(), payload.begin(), payload.end());
    return image;
}

std::vector<BYTE> PatternPayload(std::size_t size) {
    std::vector<BYTE> payload(size);
    for (std::size_t i = 0; i < size; ++i) {
        payload[i] = static_cast<BYTE>(i * 7 + (i >> 8));
    }
    return payload;
}

namespace {

std::vector<BYTE> ShippedShape(bool code, std::size_t payloadSize) {
    CImageBuilder builder;
    builder.AddPayloadCrc();
    builder.AddValue("tim", code ? 1673038495 : 1670880423);
    builder.AddFlag(code ? "cod" : "lgc");
    builder.AddValue(code ? "uvp" : "sub", code ? 0x0CA80801 : 7);
    builder.AddValue("dpi", 0x000C0002);
    builder.AddText(20, "Corvena Vantor");
    const std::vector<BYTE> payload = PatternPayload(payloadSize);
    std::vector<BYTE> image;
    builder.Build(payload.data(), payload.size(), &image);
    return image;
}

}  // namespace

std::vector<BYTE> CodeImage(std::size_t payloadSize) {
    return ShippedShape(true, payloadSize);
}

std::vector<BYTE> LogicImage(std::size_t payloadSize) {
    return ShippedShape(false, payloadSize);
}
