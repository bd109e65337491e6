#pragma once

// The places of a loaded log's clients, for the countries and cities reports.
// Built once per log: each distinct client address is looked up once, however
// many records carry it and however many reports run. Host names (0.0.0.0)
// and addresses the database does not know are place 0, "unknown".
//
//   records 8.8.8.8 x3, 9.9.9.9 x1, 10.0.0.1 x1 -> lookups: 3
//   countries: key 0 unknown, then one key per country name in byte order
//   cities:    key 0 unknown, then one key per "city, country" label (or the
//              country alone for an address without a city) in byte order
//
// Keys order rows of equal count by their labels, so a table is reproducible.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "geo/source.h"
#include "log/ipv6_table.h"
#include "log/record.h"
#include "log/record_array.h"

namespace tw {

class GeoTable {
 public:
  // A null source knows no address. REQUIRES: `ipv6` is the table the
  // records' IPv6 clients were stored with (may be null without them).
  GeoTable(const GeoSource* source, const RecordArray& records, const Ipv6AddressTable* ipv6);

  // REQUIRES: `record` is one of the records the table was built from.
  std::uint32_t CountryKey(const LogRecord& record) const;
  std::uint32_t CityKey(const LogRecord& record) const;

  // The label of a key; empty for 0 (unknown) and keys past the last.
  const std::string& CountryLabel(std::uint32_t key) const;
  const std::string& CityLabel(std::uint32_t key) const;
  // The key of a label other than unknown's; false when no row has it.
  bool FindCountry(std::string_view label, std::uint32_t* key) const;
  bool FindCity(std::string_view label, std::uint32_t* key) const;

 private:
  std::uint32_t PlaceOf(const LogRecord& record) const;
  std::uint32_t AddPlace(const GeoPlace& place);
  void RankLabels();

  // The place of each distinct client address: open addressing over a table
  // kept at most half full, as every record of a report looks its client up.
  struct AddressSlot {
    std::uint64_t address;  // kNoAddress: a free slot
    std::uint32_t place;
  };
  static constexpr std::uint64_t kNoAddress = ~std::uint64_t{0};
  // The slot of `address`: its own, or the free one where it would go.
  std::size_t SlotOf(std::uint64_t address) const;
  void GrowAddresses();
  std::vector<AddressSlot> place_of_address_;
  std::size_t addresses_ = 0;
  std::vector<GeoPlace> places_;  // index 0: unknown
  std::unordered_map<std::string, std::uint32_t> place_of_name_;
  std::vector<std::uint32_t> country_key_;  // by place
  std::vector<std::uint32_t> city_key_;     // by place
  std::vector<std::string> country_labels_;  // by key, [0] empty
  std::vector<std::string> city_labels_;     // by key, [0] empty
};

}  // namespace tw
