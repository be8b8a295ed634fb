#include "opcodes/OpcodeTable.h"

#include <cstdio>

namespace morvane {

std::string OpcodeText(uint16_t opcode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(opcode));
    return text;
}

void OpcodeTable::Reset(GameId game) {
    game_ = game;
    entries_.assign(kOpcodeTableSize, OpcodeEntry{});
    descriptionPool_.clear();
    descriptions_.clear();
}

void OpcodeTable::Set(int opcode, int32_t parameterCount, std::string_view description) {
    if (opcode < 0 || static_cast<std::size_t>(opcode) >= entries_.size()) return;
    OpcodeEntry& entry = entries_[static_cast<std::size_t>(opcode)];
    // An opcode keeps the slot it was first given, so a file that names one
    // opcode many times uses at most one slot per opcode.
    uint16_t number = entry.description;
    const Span span{static_cast<uint32_t>(descriptionPool_.size()), static_cast<uint32_t>(description.size())};
    descriptionPool_.append(description);
    if (number != kNoDescription) {
        descriptions_[number] = span;  // the old text stays in the pool unused
    } else if (!description.empty()) {
        number = static_cast<uint16_t>(descriptions_.size());
        descriptions_.push_back(span);
    }
    entry = OpcodeEntry{parameterCount, true, RoleOf(game_, static_cast<uint16_t>(opcode)), number};
}

void OpcodeTable::MergeFrom(const OpcodeTable& other) {
    if (entries_.empty()) Reset(other.game_);
    for (std::size_t opcode = 0; opcode < other.entries_.size(); ++opcode) {
        const OpcodeEntry* entry = other.Find(static_cast<uint32_t>(opcode));
        if (entry != nullptr)
            Set(static_cast<int>(opcode), entry->parameterCount, other.Description(static_cast<uint32_t>(opcode)));
    }
}

std::size_t OpcodeTable::FillFrom(const OpcodeTable& other) {
    if (entries_.empty()) Reset(other.game_);
    std::size_t taken = 0;
    for (std::size_t opcode = 0; opcode < other.entries_.size(); ++opcode) {
        const OpcodeEntry* entry = other.Find(static_cast<uint32_t>(opcode));
        if (entry == nullptr || entries_[opcode].known) continue;
        Set(static_cast<int>(opcode), entry->parameterCount, other.Description(static_cast<uint32_t>(opcode)));
        ++taken;
    }
    return taken;
}

std::string_view OpcodeTable::Description(uint32_t opcode) const {
    const OpcodeEntry* entry = Find(opcode);
    if (entry == nullptr || entry->description == kNoDescription) return {};
    const Span& span = descriptions_[entry->description];
    return std::string_view(descriptionPool_).substr(span.begin, span.length);
}

std::size_t OpcodeTable::KnownCount() const {
    std::size_t known = 0;
    for (const OpcodeEntry& entry : entries_) known += entry.known ? 1 : 0;
    return known;
}

bool OpcodeTable::DescribesAnyOf(OpcodeRole role) const {
    for (const uint16_t opcode : OpcodesOfRole(game_, role))
        if (Find(opcode) != nullptr) return true;
    return false;
}

}  // namespace morvane
