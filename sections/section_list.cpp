#include "sections/section_list.h"

#include "platform/replace_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "document/graphic_plane.h"
#include "document/token_stream.h"
#include "objects/wbase.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr std::string_view kEmptyDescToken = "EMPTY_DESC";

const CSectionItem& emptyItem() {
  static const CSectionItem empty;
  return empty;
}

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The objects whose flow counts against the capacity of the water source.
bool consumesWater(int type) {
  return type == kTypeSprinkler || type == kTypeStaticSprinkler || type == kTypeMicroHadar ||
         type == kTypeDripline || type == kTypeRws;
}

uint32_t readLe32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void appendLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

CSectionList::CSectionList() { reset(); }

// --- the colour table -------------------------------------------------------

int CSectionList::loadFile() { return loadFile(platform::joinPath(platform::userDataDir(), "seq.dat")); }

int CSectionList::loadFile(const std::string& path) {
  for (size_t i = 0; i < items_.size(); ++i) items_[i] = {static_cast<int>(i), {}, kWhite};

  std::vector<Colour> colours;
  loadStatus_ = readSeqFile(path, colours);
  if (loadStatus_ != SeqFileStatus::Ok) {
    // Nothing of a damaged file is taken; the table stays usable.
    reset();
    return -1;
  }
  count_ = static_cast<int>(colours.size());
  items_.resize(colours.size());
  for (size_t i = 0; i < colours.size(); ++i) items_[i] = {static_cast<int>(i), {}, colours[i]};
  if (current_ >= count_) select(0);
  return 0;
}

// --- the table --------------------------------------------------------------

int CSectionList::reset() {
  // A table read from an empty colour file has no entry; section 0 needs one.
  if (items_.empty()) items_.resize(1);
  for (size_t i = 0; i < items_.size(); ++i) items_[i] = {static_cast<int>(i), {}, kWhite};
  count_ = 1;
  current_ = 0;
  currentColour_ = kWhite;
  return static_cast<int>(items_.size());
}

void CSectionList::setCount(int n) {
  if (n == count_ || n < 1 || n > kMaxSections) return;
  count_ = n;
  const size_t want = static_cast<size_t>(n);
  if (items_.size() >= want) {
    items_.resize(want);
  } else {
    const size_t old = items_.size();
    items_.resize(old + want + 30);
    for (size_t i = old; i < items_.size(); ++i) items_[i] = {static_cast<int>(i), {}, kWhite};
  }
  if (current_ >= count_) select(0);
}

const CSectionItem& CSectionList::item(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return emptyItem();
  return items_[static_cast<size_t>(index)];
}

const CSectionItem& CSectionList::find(int nr) const {
  for (const auto& it : items_)
    if (it.nr == nr) return it;
  return emptyItem();
}

void CSectionList::remove(int index) {
  if (index < 0 || index >= count_ || count_ <= 1) return;
  items_.erase(items_.begin() + index);
  --count_;
  for (auto& it : items_)
    if (it.nr > index) --it.nr;
}

// --- the current section ----------------------------------------------------

bool CSectionList::select(int index) {
  if (index < 0 || index >= count_) return false;
  current_ = index;
  currentColour_ = items_[static_cast<size_t>(index)].color;
  return true;
}

// --- operations on the table and the objects --------------------------------

void CSectionList::refreshFromObjects(const CGraphicPlane& doc) {
  for (const auto& o : doc.objects()) {
    if (o->deleted || !o->HasSectionColour()) continue;
    const int n = o->GetSectionNo();
    if (n < 0 || n >= static_cast<int>(items_.size())) continue;
    for (auto& it : items_) {
      if (it.nr != n) continue;
      it.color = o->sectionColour;
      break;
    }
  }
  if (current_ < count_) currentColour_ = items_[static_cast<size_t>(current_)].color;
}

int CSectionList::addSection() {
  if (count_ >= kMaxSections) return -1;
  const int n = count_;
  setCount(n + 1);
  items_[static_cast<size_t>(n)] = {n, {}, kWhite};
  select(n);
  return n;
}

bool CSectionList::deleteSection(CGraphicPlane& doc, int index, bool ask) {
  if (count_ <= 1 || index < 0 || index >= count_) return false;
  if (ask) {
    const platform::Message question{
        platform::utf8ToCp1250("Usunięcie tej sekcji spowoduje zmiany w raportach i przenumerowanie sekcji!"),
        "Uwaga !!", platform::MessageIcon::Warning, platform::MessageButtons::OkCancel};
    if (platform::messages().show(question) != platform::MessageAnswer::Ok) return false;
  }
  doc.onSectionRemoved(index);
  remove(index);
  refreshFromObjects(doc);
  select(0);
  return true;
}

bool CSectionList::describeSection(CGraphicPlane& doc, int index, std::string_view desc, Colour colour) {
  if (index < 0 || index >= count_) return false;
  CSectionItem& entry = items_[static_cast<size_t>(index)];
  entry.nr = index;
  entry.desc = std::string(desc.substr(0, kMaxDescription));
  entry.color = colour;
  for (const auto& o : doc.objects())
    if (o->GetSectionNo() == index && o->HasSectionColour()) o->SetSectionColour(colour);
  if (index == current_) currentColour_ = colour;
  return true;
}

void CSectionList::assignToCurrent(CGraphicPlane& doc, CWBase& object) {
  object.SetSectionColour(currentColour_);
  object.SetSectionNo(current_);
  if (consumesWater(object.GetType()) && doc.capacityExceeded(current_))
    platform::tell(platform::utf8ToCp1250("Przekroczono wydajność żródła wody"), "Informacja",
                   platform::MessageIcon::Information);
}

// --- the project file block -------------------------------------------------

void CSectionList::writeBlock(TokenWriter& out) const {
  out.writeInt(count_);
  for (int i = 0; i < count_; ++i) {
    const std::string& desc = items_[static_cast<size_t>(i)].desc;
    if (desc.empty()) {
      out.writeToken(kEmptyDescToken);
      continue;
    }
    // Every blank, not only the space, would split the token.
    std::string token = desc;
    for (char& c : token)
      if (isBlank(c)) c = '|';
    out.writeToken(token);
  }
}

bool CSectionList::readBlock(TokenReader& in) {
  if (in.atEnd()) return false;
  const int n = in.readInt();
  if (n < 1 || n > kMaxSections) return false;
  std::vector<std::string> descs;
  descs.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    if (in.atEnd()) return false;
    std::string d(in.next().substr(0, kMaxStoredDescription));
    if (d == kEmptyDescToken) d.clear();
    for (char& c : d)
      if (c == '|') c = ' ';
    descs.push_back(std::move(d));
  }
  setCount(n);
  for (int i = 0; i < n; ++i) items_[static_cast<size_t>(i)].desc = std::move(descs[static_cast<size_t>(i)]);
  return true;
}

CSectionList& sectionList() {
  static CSectionList list;
  return list;
}

// --- "seq.dat" -----------------------------------------------------------------

SeqFileStatus readSeqFile(const std::string& path, std::vector<Colour>& colours) {
  colours.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return SeqFileStatus::Missing;
  unsigned char head[4];
  if (!in.read(reinterpret_cast<char*>(head), 4)) return SeqFileStatus::Damaged;
  const int32_t n = static_cast<int32_t>(readLe32(head));
  if (n < 0 || n > CSectionList::kMaxSections) return SeqFileStatus::Damaged;
  std::vector<unsigned char> body(static_cast<size_t>(n) * 4);
  if (n > 0 && !in.read(reinterpret_cast<char*>(body.data()), static_cast<std::streamsize>(body.size())))
    return SeqFileStatus::Damaged;
  colours.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) colours.push_back(readLe32(body.data() + 4 * i));
  return SeqFileStatus::Ok;
}

bool writeSeqFile(const std::string& path, const std::vector<Colour>& colours) {
  if (colours.size() > static_cast<size_t>(CSectionList::kMaxSections)) return false;
  std::string bytes;
  appendLe32(bytes, static_cast<uint32_t>(colours.size()));
  for (Colour c : colours) appendLe32(bytes, c);

  // Written beside the old table and renamed over it, so that a failed write
  // never leaves a truncated table behind.
  return platform::replaceFile(path, bytes);
}

std::vector<Colour> defaultSectionColours() {
  using platform::rgb;
  // Saturated and mid-tone colours, none close to white (no section) or to
  // another of the list.
  return {
      rgb(230, 25, 75), rgb(60, 180, 75), rgb(0, 130, 200), rgb(255, 225, 25),
      rgb(245, 130, 48), rgb(145, 30, 180), rgb(70, 240, 240), rgb(240, 50, 230),
      rgb(160, 240, 0), rgb(0, 128, 128), rgb(170, 110, 40), rgb(128, 0, 0),
      rgb(110, 128, 0), rgb(0, 0, 128), rgb(128, 128, 128), rgb(0, 0, 0),
      rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(0, 80, 0),
      rgb(255, 128, 192), rgb(128, 128, 255), rgb(64, 0, 96), rgb(255, 80, 0),
  };
}
