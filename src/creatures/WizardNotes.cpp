// The list of things the player's wizard has seen, kept in its text block: the creature types,
// spells, magic items and events the player met for the first time. Each is noted once, ever;
// the list of notices takes the first 20.
#include <cstring>

#include "core/Bytes.h"
#include "creatures/Wizard.h"

namespace n = wizard_notes;

namespace {

bool InRange(int kind, int number) { return kind >= 0 && kind < n::kKinds && number >= 0 && number < n::kNumbers; }

size_t FlagOffset(int kind, int number) { return static_cast<size_t>(kind * n::kNumbers + number); }
size_t NoticeOffset(int i) { return static_cast<size_t>(n::kFirstNotice + i * n::kNoticeBytes); }

int32_t Word(const std::vector<uint8_t>& block, size_t at) { return bytes::LoadI32(block.data() + at); }

}  // namespace

void CWizard::NoteSeen(int kind, int number) {
  if (!InRange(kind, number) || HasSeen(kind, number)) return;
  if (textBlock.size() != static_cast<size_t>(kWizardTextBlockBytes)) textBlock.assign(kWizardTextBlockBytes, 0);
  textBlock[FlagOffset(kind, number)] = 1;
  const int count = NoticeCount();
  if (count >= n::kMaxNotices) return;
  bytes::StoreI32(textBlock.data() + NoticeOffset(count), kind);
  bytes::StoreI32(textBlock.data() + NoticeOffset(count) + 4, number);
  bytes::StoreI32(textBlock.data() + n::kCountOffset, count + 1);
}

bool CWizard::HasSeen(int kind, int number) const {
  return InRange(kind, number) && textBlock.size() == static_cast<size_t>(kWizardTextBlockBytes) &&
         textBlock[FlagOffset(kind, number)] != 0;
}

int CWizard::NoticeCount() const {
  if (textBlock.size() != static_cast<size_t>(kWizardTextBlockBytes)) return 0;
  return Word(textBlock, n::kCountOffset);
}

bool CWizard::NoticeAt(int i, int& kind, int& number) const {
  if (i < 0 || i >= NoticeCount()) return false;
  kind = Word(textBlock, NoticeOffset(i));
  number = Word(textBlock, NoticeOffset(i) + 4);
  return true;
}

bool WizardTextBlockIsSound(const std::vector<uint8_t>& block) {
  if (block.size() != static_cast<size_t>(kWizardTextBlockBytes)) return false;
  for (int at = 0; at < n::kCountOffset; ++at)
    if (block[static_cast<size_t>(at)] > 1) return false;
  const int32_t count = Word(block, n::kCountOffset);
  if (count < 0 || count > n::kMaxNotices) return false;
  for (int i = 0; i < count; ++i) {
    const int32_t kind = Word(block, NoticeOffset(i)), number = Word(block, NoticeOffset(i) + 4);
    if (!InRange(kind, number) || !block[FlagOffset(kind, number)]) return false;
    for (int j = 0; j < i; ++j)
      if (Word(block, NoticeOffset(j)) == kind && Word(block, NoticeOffset(j) + 4) == number) return false;
  }
  for (size_t at = NoticeOffset(count); at < block.size(); ++at)
    if (block[at] != 0) return false;
  return true;
}
