// SPDX-License-Identifier: MIT
#include "model/ProjectRecords.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace vellisto::projectfile {

namespace {

    constexpr std::size_t kAnsiNameBytes = 260;
    constexpr std::size_t kUtf16NameBytes = 2 * kNameUnits; // 520

    // Little-endian fields at fixed offsets of a record. Every record arrives at
    // its exact stored size, so an offset past its end is a fault of this file;
    // it reads as 0 rather than past the data.
    std::uint16_t U16At(Record record, std::size_t offset)
    {
        if (offset + 2 > record.size())
            return 0;
        return static_cast<std::uint16_t>(record[offset] | record[offset + 1] << 8);
    }

    std::uint32_t U32At(Record record, std::size_t offset)
    {
        if (offset + 4 > record.size())
            return 0;
        return std::uint32_t { record[offset] } | std::uint32_t { record[offset + 1] } << 8
            | std::uint32_t { record[offset + 2] } << 16
            | std::uint32_t { record[offset + 3] } << 24;
    }

    // The 18-byte output format record:
    //   +0 u16 formatTag, +2 u16 channels, +4 u32 samplesPerSecond,
    //   +8 u32 averageBytesPerSecond, +12 u16 blockAlign, +14 u16 bitsPerSample,
    //   +16 u16 extraSize.
    OutputFormat OutputFormatAt(Record record, std::size_t offset)
    {
        return { U16At(record, offset), U16At(record, offset + 2), U32At(record, offset + 4),
            U32At(record, offset + 8), U16At(record, offset + 12), U16At(record, offset + 14),
            U16At(record, offset + 16) };
    }

    // Settings layout 308 (versions up to 0x10001):
    // | Offset | Size | Field                |
    // |      0 |    4 | bufferLength         |
    // |      4 |    4 | mixingInterpolation  |
    // |      8 |    4 | soundCountPerTrack   |
    // |     12 |    4 | playingPriority      |
    // |     16 |    4 | positionWord         |
    // |     20 |    4 | masterVolume         |
    // |     24 |    4 | masterBalance        |
    // |     28 |   18 | outputFormat         |
    // |     46 |  260 | basePath, 8-bit text |
    // |    306 |    2 | padding, dropped     |
    // The layout has no loading interpolation, stopping rule or stress and pitch
    // switches: those take the values that files of this age played with.
    void ReadSettings308(Record record, ProjectSettings& s)
    {
        s.bufferLength = U32At(record, 0);
        s.mixingInterpolation = U32At(record, 4);
        s.soundCountPerTrack = U32At(record, 8);
        s.playingPriority = U32At(record, 12);
        s.positionWord = U32At(record, 16);
        s.masterVolume = U32At(record, 20);
        s.masterBalance = U32At(record, 24);
        s.outputFormat = OutputFormatAt(record, 28);
        s.basePath = ReadAnsiName(record.subspan(46, kAnsiNameBytes));
        s.loadingInterpolation = static_cast<std::uint32_t>(Interpolation::kLinear);
        s.stoppingRules = 0;
        s.changingStress = 0;
        s.changingPitch = 0;
    }

    // Settings layout 328 (version 0x10002):
    // | Offset | Size | Field                |
    // |      0 |    4 | bufferLength         |
    // |      4 |    4 | mixingInterpolation  |
    // |      8 |    4 | soundCountPerTrack   |
    // |     12 |    4 | playingPriority      |
    // |     16 |    4 | stoppingRules        |
    // |     20 |    4 | changingStress       |
    // |     24 |    4 | changingPitch        |
    // |     28 |    4 | positionWord         |
    // |     32 |    4 | masterVolume         |
    // |     36 |    4 | masterBalance        |
    // |     40 |    8 | reserved, dropped    |
    // |     48 |   18 | outputFormat         |
    // |     66 |  260 | basePath, 8-bit text |
    // |    326 |    2 | padding, dropped     |
    // No loading interpolation yet: those files loaded with "Linear".
    void ReadSettings328(Record record, ProjectSettings& s)
    {
        s.bufferLength = U32At(record, 0);
        s.mixingInterpolation = U32At(record, 4);
        s.soundCountPerTrack = U32At(record, 8);
        s.playingPriority = U32At(record, 12);
        s.stoppingRules = U32At(record, 16);
        s.changingStress = U32At(record, 20);
        s.changingPitch = U32At(record, 24);
        s.positionWord = U32At(record, 28);
        s.masterVolume = U32At(record, 32);
        s.masterBalance = U32At(record, 36);
        s.outputFormat = OutputFormatAt(record, 48);
        s.basePath = ReadAnsiName(record.subspan(66, kAnsiNameBytes));
        s.loadingInterpolation = static_cast<std::uint32_t>(Interpolation::kLinear);
    }

    // The words at offsets 0..43 shared by layouts 332 and 592:
    // | Offset | Size | Field                |
    // |      0 |    4 | bufferLength         |
    // |      4 |    4 | mixingInterpolation  |
    // |      8 |    4 | loadingInterpolation |
    // |     12 |    4 | soundCountPerTrack   |
    // |     16 |    4 | playingPriority      |
    // |     20 |    4 | stoppingRules        |
    // |     24 |    4 | changingStress       |
    // |     28 |    4 | changingPitch        |
    // |     32 |    4 | positionWord         |
    // |     36 |    4 | masterVolume         |
    // |     40 |    4 | masterBalance        |
    void ReadSettingsWords(Record record, ProjectSettings& s)
    {
        s.bufferLength = U32At(record, 0);
        s.mixingInterpolation = U32At(record, 4);
        s.loadingInterpolation = U32At(record, 8);
        s.soundCountPerTrack = U32At(record, 12);
        s.playingPriority = U32At(record, 16);
        s.stoppingRules = U32At(record, 20);
        s.changingStress = U32At(record, 24);
        s.changingPitch = U32At(record, 28);
        s.positionWord = U32At(record, 32);
        s.masterVolume = U32At(record, 36);
        s.masterBalance = U32At(record, 40);
    }

    // Settings layout 332 (versions 0x10003 to 0x20000):
    // | Offset | Size | Field                          |
    // |      0 |   44 | the eleven words, as layout 592 |
    // |     44 |    8 | reserved, dropped              |
    // |     52 |   18 | outputFormat                   |
    // |     70 |  260 | basePath, 8-bit text           |
    // |    330 |    2 | padding, dropped               |
    void ReadSettings332(Record record, ProjectSettings& s)
    {
        ReadSettingsWords(record, s);
        s.outputFormat = OutputFormatAt(record, 52);
        s.basePath = ReadAnsiName(record.subspan(70, kAnsiNameBytes));
    }

    // Settings layout 592 (versions 0x20001 and 0x20002), the whole settings
    // record as held in memory, reserved and padding bytes included:
    // | Offset | Size | Field                          |
    // |      0 |   44 | the eleven words               |
    // |     44 |    8 | reserved, kept as stored       |
    // |     52 |   18 | outputFormat                   |
    // |     70 |  520 | basePath, 260 UTF-16 units     |
    // |    590 |    2 | padding, kept as stored        |
    void ReadSettings592(Record record, ProjectSettings& s)
    {
        ReadSettingsWords(record, s);
        std::copy_n(record.begin() + 44, s.reserved.size(), s.reserved.begin());
        s.outputFormat = OutputFormatAt(record, 52);
        s.basePath = ReadUtf16Name(record.subspan(70, kUtf16NameBytes));
        std::copy_n(record.begin() + 590, s.padding.size(), s.padding.begin());
    }

    // Sound words, each u32, at offset `at` of a sound record:
    //   4 words:  volume, pitch, loopBegin, loopEnd
    //   8 words:  the four, stopEventMode, linkedId, linkingMode, reserved1
    //   12 words: the seven, attackTime, sustainTime, releaseTime, reserved1, reserved2
    // Words a form does not carry keep their values.
    void ReadFourWords(Record record, std::size_t at, SoundSlot& slot)
    {
        slot.volume = U32At(record, at);
        slot.pitch = U32At(record, at + 4);
        slot.loopBegin = U32At(record, at + 8);
        slot.loopEnd = U32At(record, at + 12);
    }

    void ReadEightWords(Record record, std::size_t at, SoundSlot& slot)
    {
        ReadFourWords(record, at, slot);
        slot.stopEventMode = U32At(record, at + 16);
        slot.linkedId = U32At(record, at + 20);
        slot.linkingMode = U32At(record, at + 24);
        slot.reserved1 = U32At(record, at + 28);
    }

    void ReadTwelveWords(Record record, std::size_t at, SoundSlot& slot)
    {
        SoundWords words {};
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = U32At(record, at + 4 * i);
        slot.setWords(words);
    }

    // Sound record, versions up to 0x10002 (276 bytes):
    //   0: fileName, 260 bytes of 8-bit text; 260: 4 words
    void ReadSoundAnsi4(Record record, SoundSlot& slot)
    {
        slot.fileName = ReadAnsiName(record.first(kAnsiNameBytes));
        ReadFourWords(record, kAnsiNameBytes, slot);
    }

    // Sound record, versions 0x10003 to 0x20000 (292 bytes):
    //   0: fileName, 260 bytes of 8-bit text; 260: 8 words
    void ReadSoundAnsi8(Record record, SoundSlot& slot)
    {
        slot.fileName = ReadAnsiName(record.first(kAnsiNameBytes));
        ReadEightWords(record, kAnsiNameBytes, slot);
    }

    // Sound record, version 0x20001 (552 bytes):
    //   0: fileName, 260 UTF-16 units; 520: 8 words
    void ReadSoundUtf16x8(Record record, SoundSlot& slot)
    {
        slot.fileName = ReadUtf16Name(record.first(kUtf16NameBytes));
        ReadEightWords(record, kUtf16NameBytes, slot);
    }

    // Sound record, version 0x20002 (568 bytes):
    //   0: fileName, 260 UTF-16 units; 520: 12 words
    void ReadSoundUtf16x12(Record record, SoundSlot& slot)
    {
        slot.fileName = ReadUtf16Name(record.first(kUtf16NameBytes));
        ReadTwelveWords(record, kUtf16NameBytes, slot);
    }

    constexpr RecordLayout kLayout10000 { 308, ReadSettings308, kAnsiNameBytes + 16,
        ReadSoundAnsi4 };
    constexpr RecordLayout kLayout10002 { 328, ReadSettings328, kAnsiNameBytes + 16,
        ReadSoundAnsi4 };
    constexpr RecordLayout kLayout10003 { 332, ReadSettings332, kAnsiNameBytes + 32,
        ReadSoundAnsi8 };
    constexpr RecordLayout kLayout20001 { 592, ReadSettings592, kUtf16NameBytes + 32,
        ReadSoundUtf16x8 };
    constexpr RecordLayout kLayout20002 { 592, ReadSettings592, kUtf16NameBytes + 48,
        ReadSoundUtf16x12 };

} // namespace

const RecordLayout& LayoutForVersion(std::uint32_t version)
{
    if (version <= 0x10001)
        return kLayout10000;
    if (version == 0x10002)
        return kLayout10002;
    if (version <= 0x20000)
        return kLayout10003;
    if (version == 0x20001)
        return kLayout20001;
    return kLayout20002;
}

void ApplyVersionUpgrade(std::uint32_t version, ProjectSettings& s)
{
    // A settings chunk that follows overwrites what its layout carries; the
    // values stay for the fields that the old layout lacks.
    if (version <= 0x10000)
        s.playingPriority = 0;
    if (version <= 0x10001) {
        s.stoppingRules = 0;
        s.changingStress = 0;
        s.changingPitch = 0;
    }
    if (version <= 0x10002)
        s.loadingInterpolation = static_cast<std::uint32_t>(Interpolation::kLinear);
}

Name ReadUtf16Name(Record field)
{
    Name name {};
    bool terminated = false;
    for (std::size_t i = 0; i < name.size() && 2 * i + 1 < field.size(); ++i) {
        name[i] = static_cast<char16_t>(field[2 * i] | field[2 * i + 1] << 8);
        terminated = terminated || name[i] == 0;
    }
    if (!terminated)
        name.back() = 0;
    return name;
}

Name ReadAnsiName(Record field)
{
    const auto zero = std::find(field.begin(), field.end(), std::uint8_t { 0 });
    const std::u16string text
        = platform::DecodeAnsi(field.first(static_cast<std::size_t>(zero - field.begin())));
    std::size_t length = std::min(text.size(), kNameUnits - 1);
    // Do not keep half of a surrogate pair at the cut.
    if (length < text.size() && length > 0 && text[length - 1] >= 0xD800
        && text[length - 1] < 0xDC00)
        --length;
    Name name {};
    std::copy_n(text.begin(), length, name.begin());
    return name;
}

} // namespace vellisto::projectfile
