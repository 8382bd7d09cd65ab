#pragma once
// Cables and placed connection sets: polylines like the pipe run, one wired
// to a catalogue cable type, the other standing for a predefined set of
// pipes and fittings.

#include <cstdint>
#include <optional>
#include <string>

#include "objects/polylines.h"

// A catalogue cable drawn on the plan. It has no section colour; once a
// catalogue cable is assigned its code (the part of the name between "<" and
// ">") becomes its label.
class CWCable : public WValue<CWCable, CWPolyline> {
 public:
  CWCable();

  int GetType() const override { return kTypeCable; }
  void DrawLabel() override;
  std::string GetKindName() const override;

  // The voltage drop calculation's choice of a catalogue cable.
  void AssignCableType(CElem* cable);
  // The cable's code; empty until a type is assigned.
  std::string LabelText() const;

  int spare = 0;

 protected:
  platform::Pen bodyPen() const override;
};

// What a placed connection set needs to know of its set in the collection.
struct ConnectionSetInfo {
  int32_t id = 0;             // negative for sets that came with a project file
  std::string name;           // Windows-1250
  bool hasPipe = false;       // an available slot holds a catalogue pipe
  std::string pipeName;       // the name of the last such pipe
  bool unavailable = false;   // an available slot holds an archived element
};

// The collection of connection sets as the plan objects see it.
class ConnectionSetLookup {
 public:
  virtual ~ConnectionSetLookup() = default;
  // The set whose key is `key`, if the collection holds one.
  virtual std::optional<ConnectionSetInfo> findSet(uint32_t key) const = 0;
};

// The collection registers itself here; null when there is none.
void setConnectionSetLookup(const ConnectionSetLookup* lookup);
const ConnectionSetLookup* connectionSetLookup();

// A connection set placed on the plan, drawn as a pipe run. `kindWord` holds
// the set's key.
class CWSet : public WValue<CWSet, CWPolyline> {
 public:
  CWSet();

  int GetType() const override { return kTypeSet; }
  void DrawLabel() override;
  std::string GetKindName() const override;

  // The set of `kindWord` in the collection, if any.
  std::optional<ConnectionSetInfo> FindSet() const;
  // "ø<pipe code>(<set name>)", or "(<set name>)" for a set without a pipe;
  // a leading "*" marks sets made in the program, except on paper.
  std::string LabelText() const;

  std::string labelText;  // the label as last drawn
  int spare1 = 0, spare2 = 0;

 protected:
  platform::Pen bodyPen() const override;
};
