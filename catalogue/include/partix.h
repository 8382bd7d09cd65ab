#pragma once
// libpartix: the product catalogue of Verdimo.
//
// These records are the binary interface between libpartix.so and the
// program: the program walks the element list of a loaded catalogue and reads
// the records field by field. Field order, widths and natural alignment are
// fixed; the static_asserts at the end of this header pin them down. Texts are
// NUL-terminated Windows-1250 byte arrays; a text[n] field holds n bytes
// including the terminator.

#include <cstdint>
#include <string>

#define PARTIX_API __attribute__((visibility("default")))

// Kind codes of catalogue elements.
enum PartixKind : uint32_t {
  kKindSprinkler = 0,            // CDBSprinkler, rotary sprinkler
  kKindController = 1,           // CKontr
  kKindValve = 2,                // CZawor, solenoid valve
  kKindPipe = 3,                 // CRura
  kKindFitting = 4,              // CZlacz
  kKindOther = 5,                // CAkces
  kKindStaticBody = 6,           // CZrStat
  kKindVanNozzle = 7,            // CDyszaVan, adjustable-arc static nozzle
  kKindStripNozzle = 8,          // CDyszaPr, rectangular-pattern static nozzle
  kKindDripLine = 9,             // CLinKrop
  kKindRegulator = 10,           // CReg
  kKindFilter = 11,              // CFiltr
  kKindValveBox = 12,            // CStud
  kKindHadarInsert = 13,         // CWkladka
  kKindRainSensor = 14,          // CRainSensor
  kKindHadarNozzle = 15,         // CMkDysza
  kKindHadarBase = 16,           // CMicroSprinklerHADAR
  kKindMpNozzle = 17,            // CDyszaMP, adjustable rotary nozzle
  kKindCable = 18,               // CKabel
  kKindVanNozzleFixed = 19,      // CNozzleVanNonReg
  kKindMpNozzleFixed = 20,       // CNozzleMPNonReg
  kKindRectRotaryNozzle = 21,    // CNozzleRectNonReg
  kKindRws = 22,                 // CRWSSprinkler
  kKindSoilSensor = 23,          // CSoilSensor
  kKindMicroSprinkler = 24,      // CMicroSprinkler
  kKindCount = 25
};

// The kind table in the order the catalogue browser lists the kinds, with the
// kind names as UTF-8 (the stored texts are Windows-1250).
struct PartixKindName {
  int code;
  const char* name;
};
inline constexpr PartixKindName kPartixKindTable[kKindCount] = {
    {0, "Zraszacz obrotowy"},
    {1, "Sterownik"},
    {3, "Rura"},
    {4, "Złączka"},
    {2, "Zawór elektromagnetyczny"},
    {6, "Zraszacz statyczny - obudowa"},
    {19, "Zraszacz statyczny - Dysza statyczna „okrąg” nieregulowana"},
    {7, "Zraszacz statyczny - Dysza statyczna „okrąg” regulowana"},
    {8, "Zraszacz statyczny - Dysza statyczna „prostokąt” nieregulowana"},
    {20, "Zraszacz statyczny - Dysza rotacyjna „okrąg” nieregulowana "},
    {17, "Zraszacz statyczny - Dysza rotacyjna „okrąg” regulowana"},
    {21, "Zraszacz statyczny - Dysza rotacyjna „prostokąt” nieregulowana"},
    {22, "Seria RWS"},
    {24, "Mikrozraszacz"},
    {16, "Mikrozraszacz HADAR - podstawa"},
    {13, "Mikrozraszacz HADAR - wkładka zraszająca"},
    {15, "Mikrozraszacz HADAR - dysza"},
    {11, "Filtr"},
    {9, "Linia kroplująca"},
    {10, "Regulator ciśnienia"},
    {12, "Studzienka"},
    {14, "Czujnik opadu"},
    {23, "Czujnik wilgotności"},
    {18, "Przewód elektryczn"},
    {5, "Inny"},
};

// One working point of a performance table: pressure (atm), flow, radius.
struct WorkPoint {
  float P;
  float Q;
  float R;
};

// A nozzle row of a rotary sprinkler.
struct SprinklerNozzle {
  char nozzleName[8];
  WorkPoint work[4];
};

// An arc row: arc in degrees and four working points.
struct ArcRow4 {
  float angle;
  WorkPoint work[4];
};

// A named row of HADAR inserts and nozzles (flows in l/h).
struct NamedRow4 {
  char rowName[25];
  WorkPoint work[4];
};

// An arc row of an adjustable rotary nozzle, seven working points.
struct ArcRow7 {
  float angle;
  WorkPoint work[7];
};

// One component of a HADAR micro-sprinkler base.
struct HadarComponent {
  char componentName[30];
  char componentCatNo[10];
  float componentPrice;
  float componentPriceMul;
  float componentFinalPrice;
};

// One working point of a rectangular-pattern nozzle.
class PARTIX_API CPrDane {
 public:
  CPrDane();
  CPrDane(const CPrDane&);
  CPrDane& operator=(const CPrDane&);
  ~CPrDane();

  char size[15]{};  // "WxL" in metres
  float spareW{};
  float spareL{};
  float pressure{};
  float flow{};
};

// The common technical data record; base of every kind record.
class PARTIX_API CData {
 public:
  CData();
  CData(const CData&);
  CData& operator=(const CData&);
  virtual ~CData();

  char name[50]{};
  char reserved1[25]{};
  char manufacturer[20]{};
  float price{};  // list price, net PLN (per metre for pipes and drip lines)
  char catalogueNo[15]{};
  int32_t reserved2{};
  char picture[20]{};
  char reserved3[150]{};
  float priceMul{};    // price x multiplier, rounded to 0.01
  float finalPrice{};  // from the price list, 0 when it has none
};

// Declares the special members every record class has.
#define PARTIX_RECORD_MEMBERS(Class) \
  Class();                           \
  Class(const Class&);               \
  Class& operator=(const Class&);    \
  ~Class() override

class CDBSprinkler : public CData {  // 0
 public:
  PARTIX_RECORD_MEMBERS(CDBSprinkler);
  char connection[15]{};
  uint8_t nozzleCount{};
  SprinklerNozzle nozzles[100]{};
  uint8_t fullCircle{};
};

class PARTIX_API CKontr : public CData {  // 1
 public:
  PARTIX_RECORD_MEMBERS(CKontr);
  int32_t mainValveOut{};
  int32_t byWeekDays{};
  int32_t cyclic{};
  int32_t sensorInput{};
  int32_t remote{};
  int32_t waterproof{};
  char power[1024]{};
  char stations[1024]{};
  char programs[1024]{};
  char startsPerProgram[1024]{};
  char valveProgramming[1024]{};
  char cyclePause[1024]{};
  char valveRunTime[1024]{};
};

class PARTIX_API CZawor : public CData {  // 2
 public:
  PARTIX_RECORD_MEMBERS(CZawor);
  float pressureMin{};
  float pressureMax{};
  float flowMax{};
  float inrushCurrent{};
  float holdingCurrent{};
  char voltage[1024]{};
};

class PARTIX_API CRura : public CData {  // 3
 public:
  PARTIX_RECORD_MEMBERS(CRura);
  int32_t pipeValue{};
  float innerDiameter{};  // mm
  char pipeSpare[3]{};
};

class PARTIX_API CZlacz : public CData {  // 4
 public:
  PARTIX_RECORD_MEMBERS(CZlacz);
  char fittingSpare[3]{};
};

class CAkces : public CData {  // 5
 public:
  PARTIX_RECORD_MEMBERS(CAkces);
};

class PARTIX_API CZrStat : public CData {  // 6
 public:
  PARTIX_RECORD_MEMBERS(CZrStat);
  char connection[1024]{};
  float popUpHeight{};
};

class PARTIX_API CDyszaVan : public CData {  // 7
 public:
  PARTIX_RECORD_MEMBERS(CDyszaVan);
  uint8_t rowCount{};
  ArcRow4 rows[20]{};
};

class CDyszaPr : public CData {  // 8
 public:
  PARTIX_RECORD_MEMBERS(CDyszaPr);
  int32_t prSpare{};
  CPrDane strips[12]{};
  int32_t position{};
};

class PARTIX_API CLinKrop : public CData {  // 9
 public:
  PARTIX_RECORD_MEMBERS(CLinKrop);
  float outerDiameter{};   // mm
  float wallThickness{};   // mm
  float rollLength{};      // m
  float dripperFlow{};     // l/h
  float dripperSpacing{};  // cm
  float maxRunLength{};    // m
  char colour[1024]{};
  char dripperType[1024]{};
  char recommendedPressure[1024]{};
};

class PARTIX_API CReg : public CData {  // 10
 public:
  PARTIX_RECORD_MEMBERS(CReg);
  int32_t regSpare{};
  char connectionDiameter[1024]{};
  char flowRange[1024]{};
  char outletPressureRange[1024]{};
};

class PARTIX_API CFiltr : public CData {  // 11
 public:
  PARTIX_RECORD_MEMBERS(CFiltr);
  int32_t filterSpare{};
  char connectionDiameter[1024]{};
  float flowMax{};
  float mesh{};
};

class PARTIX_API CStud : public CData {  // 12
 public:
  PARTIX_RECORD_MEMBERS(CStud);
  float height{};
  float widthTop{};
  float widthBottom{};
  float lengthTop{};
  float lengthBottom{};
  int32_t isRound{};
  float diameterTop{};
  float diameterBottom{};
};

class PARTIX_API CWkladka : public CData {  // 13
 public:
  PARTIX_RECORD_MEMBERS(CWkladka);
  uint8_t rowCount{};
  NamedRow4 rows[20]{};
};

class CRainSensor : public CData {  // 14
 public:
  PARTIX_RECORD_MEMBERS(CRainSensor);
  char smoothSetting[15]{};
  char stepSetting[15]{};
  int32_t forBattery{};
  int32_t forMains{};
};

class PARTIX_API CMkDysza : public CData {  // 15
 public:
  PARTIX_RECORD_MEMBERS(CMkDysza);
  uint8_t rowCount{};
  NamedRow4 rows[20]{};
};

class CMicroSprinklerHADAR : public CData {  // 16
 public:
  PARTIX_RECORD_MEMBERS(CMicroSprinklerHADAR);
  char connection[40]{};
  int32_t componentCount{};
  HadarComponent components[10]{};
};

class PARTIX_API CDyszaMP : public CData {  // 17
 public:
  PARTIX_RECORD_MEMBERS(CDyszaMP);
  int32_t rowCount{};
  ArcRow7 rows[10]{};
};

class PARTIX_API CKabel : public CData {  // 18
 public:
  PARTIX_RECORD_MEMBERS(CKabel);
};

class PARTIX_API CNozzleVanNonReg : public CData {  // 19
 public:
  PARTIX_RECORD_MEMBERS(CNozzleVanNonReg);
  uint8_t rowCount{1};
  ArcRow4 row{};
};

class PARTIX_API CNozzleMPNonReg : public CData {  // 20
 public:
  PARTIX_RECORD_MEMBERS(CNozzleMPNonReg);
  int32_t rowCount{1};
  ArcRow4 row{};
};

class PARTIX_API CNozzleRectNonReg : public CData {  // 21
 public:
  PARTIX_RECORD_MEMBERS(CNozzleRectNonReg);
  int32_t position{};
  CPrDane strips[12]{};
};

class CRWSSprinkler : public CData {  // 22
 public:
  PARTIX_RECORD_MEMBERS(CRWSSprinkler);
  std::string connection;
  std::string heightCm;
  std::string diameterCm;
  WorkPoint work[4]{};  // P, Q and a third value kept as catalogued
};

class CSoilSensor : public CData {  // 23
 public:
  PARTIX_RECORD_MEMBERS(CSoilSensor);
  int32_t forBattery{};
  int32_t forMains{};
};

class CMicroSprinkler : public CData {  // 24
 public:
  PARTIX_RECORD_MEMBERS(CMicroSprinkler);
  float angle{};  // degrees, 360 = full circle
  WorkPoint work[5]{};  // Q in l/h
};

#undef PARTIX_RECORD_MEMBERS

// One catalogue element: a node of the catalogue's singly linked list.
class PARTIX_API CElem {
 public:
  CElem();
  CElem(const CElem&);             // shallow: shares `data` and `next`
  CElem& operator=(const CElem&);  // shallow
  virtual ~CElem();                // does not release `data`

  // Sets `kind` and attaches a fresh empty record of the kind's class. A code
  // outside 0..24 sets `kind` only. Does not release a previous record.
  void InitData(unsigned long kind);
  // Destroys the data record and clears `data`.
  void FreeData();
  // Releases this element, its record and every element after it. The element
  // no longer exists after the call.
  void FreeAll();
  // Creates a new empty element as `next` (null when memory is short).
  void Init_Next();

  uint32_t kind{0xFFFFFFFFu};  // 0..24, all bits set while there is no record
  int32_t spare{};
  CData* data{};
  int32_t deleted{};
  uint8_t archived{};
  CElem* next{};
};

// The catalogue root.
class PARTIX_API CPartix {
 public:
  CPartix();
  CPartix(const CPartix&);             // shallow: shares the element list
  CPartix& operator=(const CPartix&);  // shallow
  virtual ~CPartix();                  // releases nothing

  // Appends a copy of `element` (sharing its record) to the list.
  void AddElement(CElem* element);
  // Releases the whole list and clears `head`.
  void ReleaseDB();
  // Reads the catalogue file named by `fileName`, then the user's price list.
  void LoadDB();
  // Catalogue files are not written by the library.
  void SaveDB();

  int32_t spare0{};
  char spareText[20]{};
  int32_t spare1{};
  int32_t spare2{};
  CElem* tail{};
  int32_t count{};
  CElem* head{};
  const char* fileName{};  // relative to the current directory
  char version[1024]{};
  char author[1024]{};
  char description[1024]{};
};

// The folder from which pictures are looked up; set once by the program.
extern PARTIX_API const char* ImgDir;

// Stores the price multiplier and recomputes every price of the current
// catalogue (the one loaded last).
PARTIX_API void UpdatePrizeMulFactor(float multiplier);

// The catalogue browser "Przeglądanie bazy danych" over the catalogue loaded
// last, modal; returns when it is closed. Needs a running Qt application.
PARTIX_API void DataBaseViewWindow();

// ---------------------------------------------------------------------------
// Layout of the records (x86-64, Itanium C++ ABI).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
#include <cstddef>
#define PARTIX_AT(Class, field, offset) static_assert(offsetof(Class, field) == (offset), #Class "::" #field)
static_assert(sizeof(void*) == 8, "records are laid out for 64-bit pointers");
static_assert(sizeof(WorkPoint) == 12 && sizeof(SprinklerNozzle) == 56 && sizeof(ArcRow4) == 52);
static_assert(sizeof(NamedRow4) == 76 && offsetof(NamedRow4, work) == 28 && sizeof(ArcRow7) == 88);
static_assert(sizeof(HadarComponent) == 52 && offsetof(HadarComponent, componentPrice) == 40);
static_assert(sizeof(CPrDane) == 32);
PARTIX_AT(CPrDane, spareW, 16);
PARTIX_AT(CPrDane, pressure, 24);
PARTIX_AT(CPrDane, flow, 28);

static_assert(sizeof(CElem) == 40);
PARTIX_AT(CElem, kind, 8);
PARTIX_AT(CElem, spare, 12);
PARTIX_AT(CElem, data, 16);
PARTIX_AT(CElem, deleted, 24);
PARTIX_AT(CElem, archived, 28);
PARTIX_AT(CElem, next, 32);

static_assert(sizeof(CPartix) == 3144);
PARTIX_AT(CPartix, spare0, 8);
PARTIX_AT(CPartix, spareText, 12);
PARTIX_AT(CPartix, spare1, 32);
PARTIX_AT(CPartix, spare2, 36);
PARTIX_AT(CPartix, tail, 40);
PARTIX_AT(CPartix, count, 48);
PARTIX_AT(CPartix, head, 56);
PARTIX_AT(CPartix, fileName, 64);
PARTIX_AT(CPartix, version, 72);
PARTIX_AT(CPartix, author, 1096);
PARTIX_AT(CPartix, description, 2120);

static_assert(sizeof(CData) == 312);
PARTIX_AT(CData, name, 8);
PARTIX_AT(CData, reserved1, 58);
PARTIX_AT(CData, manufacturer, 83);
PARTIX_AT(CData, price, 104);
PARTIX_AT(CData, catalogueNo, 108);
PARTIX_AT(CData, reserved2, 124);
PARTIX_AT(CData, picture, 128);
PARTIX_AT(CData, reserved3, 148);
PARTIX_AT(CData, priceMul, 300);
PARTIX_AT(CData, finalPrice, 304);

// Kind fields follow the base's 308 bytes of data (its tail padding is reused).
static_assert(sizeof(CDBSprinkler) == 5928);
PARTIX_AT(CDBSprinkler, connection, 308);
PARTIX_AT(CDBSprinkler, nozzleCount, 323);
PARTIX_AT(CDBSprinkler, nozzles, 324);
PARTIX_AT(CDBSprinkler, fullCircle, 5924);
static_assert(sizeof(CKontr) == 7504);
PARTIX_AT(CKontr, mainValveOut, 308);
PARTIX_AT(CKontr, waterproof, 328);
PARTIX_AT(CKontr, power, 332);
PARTIX_AT(CKontr, stations, 1356);
PARTIX_AT(CKontr, valveRunTime, 6476);
static_assert(sizeof(CZawor) == 1352);
PARTIX_AT(CZawor, pressureMin, 308);
PARTIX_AT(CZawor, holdingCurrent, 324);
PARTIX_AT(CZawor, voltage, 328);
static_assert(sizeof(CRura) == 320);
PARTIX_AT(CRura, pipeValue, 308);
PARTIX_AT(CRura, innerDiameter, 312);
PARTIX_AT(CRura, pipeSpare, 316);
static_assert(sizeof(CZlacz) == 312);
PARTIX_AT(CZlacz, fittingSpare, 308);
static_assert(sizeof(CAkces) == sizeof(CData) && sizeof(CKabel) == sizeof(CData));
static_assert(sizeof(CZrStat) == 1336);
PARTIX_AT(CZrStat, connection, 308);
PARTIX_AT(CZrStat, popUpHeight, 1332);
static_assert(sizeof(CDyszaVan) == 1352);
PARTIX_AT(CDyszaVan, rowCount, 308);
PARTIX_AT(CDyszaVan, rows, 312);
static_assert(sizeof(CDyszaPr) == 704);
PARTIX_AT(CDyszaPr, prSpare, 308);
PARTIX_AT(CDyszaPr, strips, 312);
PARTIX_AT(CDyszaPr, position, 696);
static_assert(sizeof(CLinKrop) == 3408);
PARTIX_AT(CLinKrop, outerDiameter, 308);
PARTIX_AT(CLinKrop, maxRunLength, 328);
PARTIX_AT(CLinKrop, colour, 332);
PARTIX_AT(CLinKrop, dripperType, 1356);
PARTIX_AT(CLinKrop, recommendedPressure, 2380);
static_assert(sizeof(CReg) == 3384);
PARTIX_AT(CReg, regSpare, 308);
PARTIX_AT(CReg, connectionDiameter, 312);
PARTIX_AT(CReg, outletPressureRange, 2360);
static_assert(sizeof(CFiltr) == 1344);
PARTIX_AT(CFiltr, filterSpare, 308);
PARTIX_AT(CFiltr, connectionDiameter, 312);
PARTIX_AT(CFiltr, flowMax, 1336);
PARTIX_AT(CFiltr, mesh, 1340);
static_assert(sizeof(CStud) == 344);
PARTIX_AT(CStud, height, 308);
PARTIX_AT(CStud, isRound, 328);
PARTIX_AT(CStud, diameterBottom, 336);
static_assert(sizeof(CWkladka) == 1832 && sizeof(CMkDysza) == 1832);
PARTIX_AT(CWkladka, rowCount, 308);
PARTIX_AT(CWkladka, rows, 312);
PARTIX_AT(CMkDysza, rows, 312);
static_assert(sizeof(CRainSensor) == 352);
PARTIX_AT(CRainSensor, smoothSetting, 308);
PARTIX_AT(CRainSensor, stepSetting, 323);
PARTIX_AT(CRainSensor, forBattery, 340);
PARTIX_AT(CRainSensor, forMains, 344);
static_assert(sizeof(CMicroSprinklerHADAR) == 872);
PARTIX_AT(CMicroSprinklerHADAR, connection, 308);
PARTIX_AT(CMicroSprinklerHADAR, componentCount, 348);
PARTIX_AT(CMicroSprinklerHADAR, components, 352);
static_assert(sizeof(CDyszaMP) == 1192);
PARTIX_AT(CDyszaMP, rowCount, 308);
PARTIX_AT(CDyszaMP, rows, 312);
static_assert(sizeof(CNozzleVanNonReg) == 368);
PARTIX_AT(CNozzleVanNonReg, rowCount, 308);
PARTIX_AT(CNozzleVanNonReg, row, 312);
static_assert(sizeof(CNozzleMPNonReg) == 368);
PARTIX_AT(CNozzleMPNonReg, rowCount, 308);
PARTIX_AT(CNozzleMPNonReg, row, 312);
static_assert(sizeof(CNozzleRectNonReg) == 696);
PARTIX_AT(CNozzleRectNonReg, position, 308);
PARTIX_AT(CNozzleRectNonReg, strips, 312);
static_assert(sizeof(CRWSSprinkler) == 456);
PARTIX_AT(CRWSSprinkler, connection, 312);
PARTIX_AT(CRWSSprinkler, heightCm, 344);
PARTIX_AT(CRWSSprinkler, diameterCm, 376);
PARTIX_AT(CRWSSprinkler, work, 408);
static_assert(sizeof(CSoilSensor) == 320);
PARTIX_AT(CSoilSensor, forBattery, 308);
PARTIX_AT(CSoilSensor, forMains, 312);
static_assert(sizeof(CMicroSprinkler) == 376);
PARTIX_AT(CMicroSprinkler, angle, 308);
PARTIX_AT(CMicroSprinkler, work, 312);
#undef PARTIX_AT
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
