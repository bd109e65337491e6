#pragma once

// Referrer addresses as browsers send them: result pages of search engines
// with the searched phrase, pages of other sites, catalogues and ratings, and
// the shop's own pages.
//
//   http://yandex.ru/yandsearch?text=%D0%BA%D1%83%D0%BF%D0%B8%D1%82%D1%8C+...&lr=213
//   http://www.google.ru/search?hl=ru&q=asus+vivobook+15+review&btnG=...
//   http://forum.ixbt.com/topic.cgi?id=17:48213
//   http://www.example-shop.ru/catalog/laptops/

#include <cstdint>
#include <string>

#include "Loggen_random.h"
#include "Loggen_site.h"

namespace tw::loggen {

class ReferrerMaker {
 public:
  // `site_name` is the shop's host; `https_percent` of the outside referrers use https.
  ReferrerMaker(const SiteModel& site, std::string site_name, int https_percent);

  // A search engine's result page that led to `landing`.
  std::string Search(Rng& rng, std::uint32_t landing) const;
  // A page of another site: forums, social networks, reviews, blogs.
  std::string OtherSite(Rng& rng) const;
  // A catalogue or rating of sites.
  std::string Catalogue(Rng& rng) const;
  // The shop's own page at `path` (as requested, percent-encoded).
  std::string Own(const std::string& path) const { return "http://" + site_name_ + path; }

 private:
  std::string Scheme(Rng& rng) const;

  const SiteModel& site_;
  std::string site_name_;
  int https_percent_;
  WeightedTable engines_;
};

}  // namespace tw::loggen
