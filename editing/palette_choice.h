#pragma once
// The catalogue choices of the equipment palette that the placement tools
// put on the plan. Plain data: the palette window fills it, the editor reads it.

class CElem;

struct PaletteChoice {
  CElem* rotaryBody = nullptr;
  int rotaryNozzleRow = 0;
  CElem* staticBody = nullptr;
  CElem* staticNozzle = nullptr;
  CElem* microElem = nullptr;
  CElem* hadarBase = nullptr;
  CElem* hadarInsert = nullptr;
  int hadarInsertRow = 0;
  CElem* rwsElem = nullptr;
  CElem* dripLineType = nullptr;
  int setId = 0;
  CElem* valveBoxElem = nullptr;
  CElem* valveElem = nullptr;
  CElem* controllerElem = nullptr;
  CElem* sensorElem = nullptr;
};
