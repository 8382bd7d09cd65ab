#pragma once
// Catalogue references as project and set files write them: an element's
// catalogue number (for a HADAR base, its first component's number).

#include <string>
#include <string_view>

class CData;
class CElem;
class CPartix;
struct HadarComponent;

// The element's name as its record holds it (Windows-1250); empty without one.
std::string elementName(const CElem* element);

// The number a file writes for `element`; "000000" when it has none.
std::string catalogueReference(const CElem* element);

// The first element of `catalogue` whose reference is `number`, or null.
// Looked up through an index built once per catalogue.
CElem* findElementByNumber(CPartix& catalogue, std::string_view number);
// Drops that index: called whenever a catalogue's elements are freed, so that
// a catalogue loaded again in the same place is never looked up through
// pointers to the elements of the old one.
void forgetElementIndex();

// The price that counts for an element or a HADAR component: its price-list
// price when that is at least 1e-6 in magnitude, else the multiplied price.
float priceOf(const CData& data);
float priceOf(const HadarComponent& component);

// The message shown when a project refers to an element the catalogue lacks.
const std::string& missingElementMessage();
