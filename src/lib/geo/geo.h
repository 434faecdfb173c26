// Map domains: the Domain record and the decoding of domain strings.
#pragma once

struct Domain {
  int proj = -9999;  // projection code; -9999 = no domain
  float plat = -9999.0f;
  float plon = -9999.0f;
  float param[5] = {-9999.0f, -9999.0f, -9999.0f, -9999.0f, -9999.0f};
  float clat = -9999.0f, clon = -9999.0f;
  float dx = -9999.0f, dy = -9999.0f;
  int nx = -9999, ny = -9999;
  int ellipse = 0;
};

/// Resets the domain: no projection, every value missing, sphere.
int DOM_init(Domain *domain);
/// Decodes one domain string: -9999 for a null, empty or "miss" string, 1 for explicit
/// parameters, 2 for a region, -1 when nothing matches.
int DOM_decode(const char *str, Domain *domain);
