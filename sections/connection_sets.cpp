#include "sections/connection_sets.h"

#include "platform/replace_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "document/catalogue_lookup.h"
#include "document/graphic_plane.h"
#include "document/token_stream.h"
#include "partix.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"

namespace {

// Bounds for counts read from project files: far beyond any real project,
// small enough that a damaged count cannot exhaust memory.
constexpr int32_t kMaxProjectSets = 65536;
constexpr int32_t kMaxSetElements = 10000;

// Bytes of a record of "sets.zdb" before its catalogue numbers.
constexpr size_t kRecordHeadBytes = 4 + CDBSets::kFileNameBytes + 4 + 4;

std::string cutTo(std::string text, size_t bytes) {
  if (text.size() > bytes) text.resize(bytes);
  return text;
}

// --- little-endian bytes ---------------------------------------------------------

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putField(std::string& out, const std::string& text, size_t width) {
  const size_t n = std::min(text.size(), width);
  out.append(text, 0, n);
  out.append(width - n, '\0');
}

class ByteReader {
 public:
  explicit ByteReader(const std::string& bytes) : bytes_(bytes) {}
  size_t left() const { return bytes_.size() - pos_; }
  bool u32(uint32_t& v) {
    if (left() < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return true;
  }
  // A zero-padded text field of `width` bytes, up to its first zero byte.
  bool field(std::string& text, size_t width) {
    if (left() < width) return false;
    const char* p = bytes_.data() + pos_;
    text.assign(p, strnlen(p, width));
    pos_ += width;
    return true;
  }

 private:
  const std::string& bytes_;
  size_t pos_ = 0;
};

// --- files ----------------------------------------------------------------------------

// The file image of `records`, each written with its available elements.
std::string encodeSetsFile(const std::vector<const CDBSetItem*>& records) {
  std::string out;
  putU32(out, CDBSets::kMagic);
  putU32(out, static_cast<uint32_t>(records.size()));
  for (const CDBSetItem* r : records) {
    const std::vector<CElem*> elems = r->availableElements();
    putU32(out, static_cast<uint32_t>(r->id));
    putField(out, r->name, CDBSets::kFileNameBytes);
    putU32(out, static_cast<uint32_t>(elems.size()));
    putU32(out, static_cast<uint32_t>(r->hasPipe));
    for (const CElem* e : elems) putField(out, catalogueReference(e), CDBSets::kFileNumberBytes);
  }
  return out;
}

const std::string& text(const char* utf8) {
  // Polish literals converted once to the code page of the files and messages.
  static std::map<std::string, std::string, std::less<>> cache;
  auto it = cache.find(std::string_view(utf8));
  if (it == cache.end()) it = cache.emplace(utf8, platform::utf8ToCp1250(utf8)).first;
  return it->second;
}

std::string withValue(const char* utf8Format, const std::string& value) {
  std::string t = text(utf8Format);
  const auto at = t.find("%s");
  if (at != std::string::npos) t.replace(at, 2, value);
  return t;
}

// --- project tokens ------------------------------------------------------------------

// A decimal integer token as the writer writes ints and uints; false when the
// token is missing or is no such number.
bool readIntToken(TokenReader& in, int32_t& v) {
  const std::string_view t = in.next();
  if (t.empty()) return false;
  const char* b = t.data();
  const char* e = t.data() + t.size();
  if (*b == '+') ++b;
  int64_t n = 0;
  const auto r = std::from_chars(b, e, n);
  if (r.ec != std::errc() || r.ptr != e || n < INT32_MIN || n > static_cast<int64_t>(UINT32_MAX)) return false;
  v = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(n)));
  return true;
}

}  // namespace

// --- CDBSetItem ------------------------------------------------------------------

std::vector<CElem*> CDBSetItem::availableElements() const {
  std::vector<CElem*> out;
  for (size_t i = 0; i < elems.size(); ++i)
    if (i < removed.size() && removed[i] == 0 && elems[i]) out.push_back(elems[i]);
  return out;
}

// --- CDBSets ----------------------------------------------------------------------

CDBSets::CDBSets() : items_(kGrowStep) { setConnectionSetLookup(this); }

CDBSets::~CDBSets() {
  if (connectionSetLookup() == this) setConnectionSetLookup(nullptr);
}

CDBSetItem& CDBSets::appendRecord() {
  if (static_cast<size_t>(count_) >= items_.size()) items_.resize(items_.size() + kGrowStep);
  CDBSetItem& r = items_[static_cast<size_t>(count_++)];
  r = CDBSetItem{};
  return r;
}

CDBSets::LoadResult CDBSets::load(const std::string& folder, CPartix& catalogue) {
  LoadResult result;
  const std::string path = platform::joinPath(folder, kFileName);
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) return result;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return result;
  }
  result.opened = true;

  // Every count is checked against the bytes that are left, so a damaged
  // file yields the whole records before the damage and nothing else.
  ByteReader in(bytes);
  std::vector<CDBSetItem> records;
  uint32_t magic = 0, n = 0;
  if (!in.u32(magic) || magic != kMagic || !in.u32(n)) {
    result.damaged = true;
  } else {
    for (uint32_t i = 0; i < n; ++i) {
      CDBSetItem r;
      uint32_t id = 0, m = 0, hasPipe = 0;
      if (in.left() < kRecordHeadBytes) {
        result.damaged = true;
        break;
      }
      in.u32(id);
      in.field(r.name, kFileNameBytes);
      in.u32(m);
      in.u32(hasPipe);
      if (m > in.left() / kFileNumberBytes) {
        result.damaged = true;
        break;
      }
      r.id = static_cast<int32_t>(id);
      r.hasPipe = static_cast<int>(hasPipe);
      r.elems.reserve(m);
      for (uint32_t k = 0; k < m; ++k) {
        std::string number;
        in.field(number, kFileNumberBytes);
        CElem* e = findElementByNumber(catalogue, number);
        if (!e) {
          ++result.missingElements;
          platform::tell(withValue("Uwaga nie znaleziono elementu zestawu w bazie danych w zestawie: %s", r.name),
                         text("Informacja."));
        }
        r.elems.push_back(e);
        r.removed.push_back(e ? 0 : 1);
      }
      records.push_back(std::move(r));
    }
  }

  items_.assign(std::max<size_t>(kGrowStep, (records.size() + kGrowStep - 1) / kGrowStep * kGrowStep), CDBSetItem{});
  std::move(records.begin(), records.end(), items_.begin());
  count_ = static_cast<int>(records.size());

  if (result.damaged) {
    platform::tell(withValue("Plik zestawów połączeniowych \"%s\" jest uszkodzony. Liczba wczytanych zestawów: ", path) +
                       std::to_string(count_) + ".",
                   text("Uwaga !!"), platform::MessageIcon::Warning);
  }

  counter_ = kFirstId;
  if (count_ > 0 && static_cast<uint32_t>(items_[0].id) < static_cast<uint32_t>(kFirstId)) {
    for (int i = 0; i < count_; ++i) items_[static_cast<size_t>(i)].id = kFirstId + i;
    counter_ = kFirstId + count_ - 1;
    result.renumbered = true;
    // A damaged file is not overwritten behind the user's back; the editor's
    // next save writes the renumbered sets.
    if (!result.damaged && !save(folder)) {
      result.rewriteFailed = true;
      platform::tell(withValue("Nie można zapisać pliku zestawów połączeniowych \"%s\".", path), text("Uwaga !!"),
                     platform::MessageIcon::Warning);
    }
  } else {
    // The highest id in use, so that a new set never takes an id that is
    // already there (in a file this program wrote, that is the last one).
    for (int i = 0; i < count_; ++i) counter_ = std::max(counter_, items_[static_cast<size_t>(i)].id);
  }
  return result;
}

bool CDBSets::save(const std::string& folder) const {
  std::vector<const CDBSetItem*> records;
  for (int i = 0; i < count_; ++i) {
    const CDBSetItem& r = items_[static_cast<size_t>(i)];
    if (r.erased == 0 && r.id >= 0) records.push_back(&r);
  }
  return platform::replaceFile(platform::joinPath(folder, kFileName), encodeSetsFile(records));
}

int32_t CDBSets::newId() {
  if (counter_ < INT32_MAX) return ++counter_;
  // A file gave the largest id there is: the first id from 4096 on that no
  // record uses.
  std::set<int32_t> used;
  for (const CDBSetItem& s : items_) used.insert(s.id);
  int32_t id = kFirstId;
  while (used.count(id) && id < INT32_MAX) ++id;
  return id;
}

int CDBSets::find(int32_t id) const {
  for (int i = 0; i < count_; ++i)
    if (items_[static_cast<size_t>(i)].id == id) return i;
  return -1;
}

int CDBSets::newSet(const std::string& name) {
  CDBSetItem& r = appendRecord();
  r.id = newId();
  r.name = cutTo(name, kEditorNameLimit);
  return count_ - 1;
}

bool CDBSets::addElement(int index, CElem* element) {
  if (index < 0 || index >= count_ || !element) return false;
  CDBSetItem& r = items_[static_cast<size_t>(index)];
  r.elems.push_back(element);
  r.removed.push_back(0);
  if (element->kind == kKindPipe) r.hasPipe = 1;
  return true;
}

bool CDBSets::removeElement(int index, int slot) {
  if (index < 0 || index >= count_) return false;
  CDBSetItem& r = items_[static_cast<size_t>(index)];
  if (slot < 0 || slot >= r.elemCount()) return false;
  r.removed[static_cast<size_t>(slot)] = 1;
  return true;
}

bool CDBSets::erase(int index) {
  if (index < 0 || index >= count_) return false;
  items_[static_cast<size_t>(index)].erased = 1;
  return true;
}

// --- project file ------------------------------------------------------------------------

uint32_t CDBSets::projectKey(uint32_t stored) {
  if (stored < static_cast<uint32_t>(kFirstId)) stored += kFirstId;
  return stored | kProjectBit;
}

uint32_t CDBSets::keyFromOldIndex(uint32_t index) const {
  if (index < static_cast<uint32_t>(count_)) return static_cast<uint32_t>(items_[index].id);
  return 0xFFFFFFFFu;
}

bool CDBSets::writeProjectSet(int32_t id, TokenWriter& out) const {
  const int i = find(id);
  if (i < 0) return false;
  const CDBSetItem& r = items_[static_cast<size_t>(i)];
  const std::vector<CElem*> elems = r.availableElements();
  out.writeInt(static_cast<int32_t>(static_cast<uint32_t>(r.id) & ~kProjectBit));
  out.writeText(r.name);
  out.writeInt(static_cast<int64_t>(elems.size()));
  out.writeInt(r.hasPipe);
  for (const CElem* e : elems) out.writeToken(catalogueReference(e));
  return true;
}

int CDBSets::writeProjectBlock(TokenWriter& out, const CGraphicPlane& doc) const {
  // Only sets the collection holds are counted, so that the count always
  // matches the definitions that follow.
  std::set<uint32_t> keys;
  for (const auto& o : doc.objects())
    if (!o->deleted && o->GetType() == kTypeSet && find(static_cast<int32_t>(o->kindWord)) >= 0)
      keys.insert(o->kindWord);
  out.writeInt(static_cast<int64_t>(keys.size()));
  for (uint32_t key : keys) writeProjectSet(static_cast<int32_t>(key), out);
  return static_cast<int>(keys.size());
}

namespace {

CDBSets::ProjectStatus parseProjectSet(TokenReader& in, CPartix& catalogue, CDBSetItem& r) {
  using Status = CDBSets::ProjectStatus;
  int32_t id = 0, m = 0, hasPipe = 0;
  if (!readIntToken(in, id)) return Status::damaged;
  const std::string_view nameToken = in.next();
  if (nameToken.empty()) return Status::damaged;
  if (!readIntToken(in, m) || m < 0 || m > kMaxSetElements) return Status::damaged;
  if (!readIntToken(in, hasPipe)) return Status::damaged;

  r = CDBSetItem{};
  r.id = static_cast<int32_t>(CDBSets::projectKey(static_cast<uint32_t>(id)));
  r.name = unescapeText(nameToken);
  if (r.name == " ") r.name.clear();
  r.name = cutTo(std::move(r.name), CDBSets::kNameCapacity);
  r.hasPipe = hasPipe == 1 ? 1 : 0;
  for (int32_t k = 0; k < m; ++k) {
    const std::string_view number = in.next();
    if (number.empty()) return Status::damaged;
    CElem* e = findElementByNumber(catalogue, number);
    if (!e) return Status::missingElement;
    r.elems.push_back(e);
    r.removed.push_back(0);
  }
  return Status::ok;
}

}  // namespace

void CDBSets::addOrReplace(CDBSetItem record) {
  // A set that is already in the collection under the same key (the same
  // project read again) is replaced, so that its key finds one record.
  const int i = find(record.id);
  if (i >= 0)
    items_[static_cast<size_t>(i)] = std::move(record);
  else
    appendRecord() = std::move(record);
}

CDBSets::ProjectStatus CDBSets::addFromProject(TokenReader& in, CPartix& catalogue) {
  CDBSetItem r;
  const ProjectStatus status = parseProjectSet(in, catalogue, r);
  if (status == ProjectStatus::ok) addOrReplace(std::move(r));
  return status;
}

CDBSets::ProjectStatus CDBSets::readProjectBlock(TokenReader& in, CPartix& catalogue) {
  int32_t n = 0;
  if (!readIntToken(in, n) || n < 0 || n > kMaxProjectSets) return ProjectStatus::damaged;
  std::vector<CDBSetItem> records(static_cast<size_t>(n));
  for (CDBSetItem& r : records) {
    const ProjectStatus status = parseProjectSet(in, catalogue, r);
    if (status != ProjectStatus::ok) return status;
  }
  for (CDBSetItem& r : records) addOrReplace(std::move(r));
  return ProjectStatus::ok;
}

// --- lookup for the placed sets --------------------------------------------------------

std::optional<ConnectionSetInfo> CDBSets::findSet(uint32_t key) const {
  const int i = find(static_cast<int32_t>(key));
  if (i < 0) return std::nullopt;
  const CDBSetItem& r = items_[static_cast<size_t>(i)];
  ConnectionSetInfo info;
  info.id = r.id;
  info.name = r.name;
  for (const CElem* e : r.availableElements()) {
    if (e->kind == kKindPipe) {
      info.hasPipe = true;
      info.pipeName = elementName(e);
    }
    if (e->archived) info.unavailable = true;
  }
  return info;
}

bool setUsedOnPlan(const CGraphicPlane& doc, uint32_t key) {
  for (const auto& o : doc.objects())
    if (!o->deleted && o->GetType() == kTypeSet && o->kindWord == key) return true;
  return false;
}

// --- CUsedSetsReport -----------------------------------------------------------------

CUsedSetsReport::CUsedSetsReport(const CGraphicPlane& doc, const CDBSets& sets) {
  std::set<uint32_t> met;
  for (const auto& o : doc.objects()) {
    if (o->deleted || o->GetType() != kTypeSet || !met.insert(o->kindWord).second) continue;
    const int i = sets.find(static_cast<int32_t>(o->kindWord));
    if (i < 0) continue;
    const CDBSetItem& r = sets.item(i);
    Entry entry{r.name, {}};
    for (const CElem* e : r.availableElements()) entry.elementNames.push_back(elementName(e));
    entries_.push_back(std::move(entry));
  }
}

// --- default sets -----------------------------------------------------------------------

namespace {

// One piece of a default set: the first available catalogue element of `kind`
// whose name holds every word of `words` and none of `without`, and, when
// `code` is given, whose short code (between "<" and ">") is `code`.
struct Piece {
  uint32_t kind;
  const char* code;
  std::vector<const char*> words;
  std::vector<const char*> without;
};

struct Recipe {
  const char* name;
  std::vector<Piece> pieces;
};

std::string shortCode(const std::string& name) {
  const auto open = name.find('<');
  if (open == std::string::npos) return {};
  const auto close = name.find('>', open + 1);
  if (close == std::string::npos) return {};
  return name.substr(open + 1, close - open - 1);
}

CElem* pick(CPartix& catalogue, const Piece& piece) {
  for (CElem* e = catalogue.head; e; e = e->next) {
    if (e->kind != piece.kind || !e->data || e->archived || e->deleted) continue;
    const std::string name = elementName(e);
    if (piece.code && shortCode(name) != piece.code) continue;
    auto has = [&](const char* w) { return name.find(text(w)) != std::string::npos; };
    if (std::all_of(piece.words.begin(), piece.words.end(), has) &&
        std::none_of(piece.without.begin(), piece.without.end(), has))
      return e;
  }
  return nullptr;
}

}  // namespace

std::vector<DefaultSet> defaultConnectionSets(CPartix& catalogue) {
  const Piece pipe25{kKindPipe, "25", {"PE"}, {}};
  const Piece pipe32{kKindPipe, "32", {"PE"}, {}};
  const std::vector<Recipe> recipes = {
      {"Podł. zraszacza 25",
       {pipe25, {kKindFitting, nullptr, {"Trójnik", "25 mm x 1/2"}, {}},
        {kKindFitting, nullptr, {"Kolano", "25 mm x 1/2"}, {}}}},
      {"Odgałęzienie 32/25",
       {{kKindFitting, nullptr, {"Trójnik", "PE 32 mm"}, {" x "}},
        {kKindFitting, nullptr, {"Redukcja", "32 x 25"}, {}}, pipe25}},
      {"Podł. zaworu 32",
       {{kKindFitting, nullptr, {"Złączka", "32 mm x 1\""}, {}}, pipe32,
        {kKindFitting, nullptr, {"Złączka", "32 mm x 1\""}, {}}}},
      {"Zakończenie linii 25",
       {pipe25, {kKindFitting, nullptr, {"Kolano", "PE 25 mm"}, {" x "}},
        {kKindFitting, nullptr, {"Korek", "PE 25 mm"}, {}}}},
  };
  std::vector<DefaultSet> sets;
  for (const Recipe& recipe : recipes) {
    DefaultSet set{cutTo(text(recipe.name), CDBSets::kFileNameBytes), {}};
    for (const Piece& piece : recipe.pieces)
      if (CElem* e = pick(catalogue, piece)) set.elements.push_back(e);
    if (set.elements.size() == recipe.pieces.size()) sets.push_back(std::move(set));
  }
  return sets;
}

bool writeConnectionSetsFile(const std::string& folder, const std::vector<DefaultSet>& sets) {
  std::vector<CDBSetItem> records;
  int32_t id = CDBSets::kFirstId;
  for (const DefaultSet& set : sets) {
    CDBSetItem r;
    r.id = ++id;
    r.name = set.name;
    for (CElem* e : set.elements) {
      if (!e) continue;
      r.elems.push_back(e);
      r.removed.push_back(0);
      if (e->kind == kKindPipe) r.hasPipe = 1;
    }
    records.push_back(std::move(r));
  }
  std::vector<const CDBSetItem*> pointers;
  for (const CDBSetItem& r : records) pointers.push_back(&r);
  return platform::replaceFile(platform::joinPath(folder, CDBSets::kFileName), encodeSetsFile(pointers));
}
