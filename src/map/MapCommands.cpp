#include "map/MapCommands.h"

#include <cstring>

#include "core/Bytes.h"

namespace {

CommandMessage Finish(const bytes::Writer& out) {
  CommandMessage message;
  const std::vector<uint8_t>& data = out.Data();
  message.length = static_cast<int32_t>(data.size());
  std::memcpy(message.bytes, data.data(), data.size());
  return message;
}

void Header(bytes::Writer& out, int32_t type, int32_t length) {
  out.I32(0);
  out.I32(type);
  out.I32(length);
}

}  // namespace

int32_t CommandMessage::Type() const { return Word(1); }

int32_t CommandMessage::Word(int n) const {
  if (n < 0 || 4 * n + 4 > length) return 0;
  return static_cast<int32_t>(bytes::LoadU32(bytes + 4 * n));
}

CommandMessage MakeCellCommand(int32_t type, int32_t creature, int32_t x, int32_t y, int32_t level) {
  // The queued walk carries one more byte, which its reader owns; it goes out as 0.
  const int32_t length = type == MSG_Q_CREATURE_WALK ? 29 : 28;
  bytes::Writer out;
  Header(out, type, length);
  for (int32_t v : {creature, x, y, level}) out.I32(v);
  if (type == MSG_Q_CREATURE_WALK) out.U8(0);
  return Finish(out);
}

CommandMessage MakeCreatureCommand(int32_t type, int32_t creature, int32_t target) {
  bytes::Writer out;
  Header(out, type, 20);
  out.I32(creature);
  out.I32(target);
  return Finish(out);
}

CommandMessage MakeCastSpellCommand(int32_t spell, int32_t x, int32_t y, int32_t z, int32_t caster,
                                    int32_t targetCreature) {
  bytes::Writer out;
  Header(out, MSG_CAST_SPELL, 56);
  out.I32(spell);
  out.Zeros(12);  // three words the receiver fills
  for (int32_t v : {x, y, z, caster, targetCreature, 1, -1}) out.I32(v);
  return Finish(out);
}
