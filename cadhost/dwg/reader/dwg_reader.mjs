// Reads one DWG drawing with LibreDWG (compiled to WebAssembly) and writes what
// the built-in host needs to open it: the drawing as DXF text, and a sidecar of
// the facts LibreDWG's DXF writer is known to get wrong or leave out, taken
// from its object model instead (attribute definitions' flags, prompts and
// default values, every attribute of every block reference, and how many
// entities of each type the file holds).
//
//   node --liftoff-only dwg_reader.mjs IN.dwg OUT.dxf OUT.json
//
// One drawing per process: one module instance reading several files has been
// seen to crash. Exit status 0 on success; otherwise one line on standard error
// says why, and the status tells what failed:
//   2 usage, 3 the file cannot be read, 4 LibreDWG refused the drawing,
//   5 its DXF writer failed.
//
// This program and the package it loads are GPL-3.0; the host runs it as a
// separate process and reads only the files it writes.

import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';

import { Dwg_Object_Type, LibreDwg } from '@mlightcad/libredwg-web';

const kUsage = 2, kUnreadable = 3, kRefused = 4, kWriterFailed = 5;
// LibreDWG's error codes from this one up mean the drawing could not be read;
// the ones below it are warnings about parts it skipped.
const kCriticalError = 128;
const kEntitySupertype = 0;

function fail(status, message) {
  process.stderr.write(message.replace(/\s+/g, ' ').trim() + '\n');
  process.exit(status);
}

const [input, dxfOut, sidecarOut] = process.argv.slice(2);
if (!input || !dxfOut || !sidecarOut) fail(kUsage, 'usage: dwg_reader.mjs IN.dwg OUT.dxf OUT.json');

let bytes;
try {
  bytes = readFileSync(input);
} catch (e) {
  fail(kUnreadable, `cannot read the file (${e.code ?? e.message})`);
}

// Found the way require() finds the package (import.meta.resolve is newer than Node 18).
const wasmFolder = join(dirname(createRequire(import.meta.url).resolve('@mlightcad/libredwg-web')), '..', 'wasm');
const libredwg = await LibreDwg.create(wasmFolder);
const wasm = libredwg.wasmInstance;

const kInput = 'drawing.dwg';
const kOutput = 'drawing.dxf';
wasm.FS.writeFile(kInput, new Uint8Array(bytes));

// The object model first: it reads files whose DXF output then fails.
const read = wasm.dwg_read_file(kInput);
if (!read.data || read.error >= kCriticalError) fail(kRefused, `LibreDWG cannot read this drawing (error code ${read.error})`);
const data = read.data;

function handleOf(value) {
  return typeof value === 'bigint' ? value.toString(16).toUpperCase() : String(value ?? '');
}

// LibreDWG names the kinds of dimension, polyline and vertex apart; DXF has
// one entity type for each.
function dxfName(name) {
  for (const family of ['DIMENSION', 'POLYLINE', 'VERTEX']) if (name.startsWith(family + '_')) return family;
  return name;
}

// Counts every entity object by its DXF name, and those with a true colour or
// a transparency of their own, which the DXF writer drops.
const entityCounts = {};
let trueColours = 0;
let transparencies = 0;
const defaultValues = new Map();  // ATTDEF handle -> default value
// Objects LibreDWG could not decode: by the name of their class where the
// file's class list names it (an add-on's entities, say), otherwise only
// counted; in some files LibreDWG reads that list wrongly, and a name in
// pieces names nothing.
let undecoded = 0;
const undecodedKinds = {};  // class name -> { count, entity }
const kClassName = /^[A-Z][A-Z0-9_$-]*$/;
const objectCount = wasm.dwg_get_num_objects(data);
for (let i = 0; i < objectCount; i++) {
  const object = wasm.dwg_get_object(data, i);
  if (!object) continue;
  const fixedType = wasm.dwg_object_get_fixedtype(object);
  if (fixedType === Dwg_Object_Type.DWG_TYPE_UNKNOWN_ENT || fixedType === Dwg_Object_Type.DWG_TYPE_UNKNOWN_OBJ) {
    undecoded++;
    const name = wasm.dwg_object_get_dxfname(object) ?? '';
    if (kClassName.test(name) && !name.startsWith('UNKNOWN_')) {
      const kind = (undecodedKinds[name] ??= { count: 0, entity: fixedType === Dwg_Object_Type.DWG_TYPE_UNKNOWN_ENT });
      kind.count++;
    }
    continue;
  }
  if (wasm.dwg_object_get_supertype(object) !== kEntitySupertype) continue;
  const name = dxfName(wasm.dwg_object_get_dxfname(object) || wasm.dwg_object_get_name(object));
  entityCounts[name] = (entityCounts[name] ?? 0) + 1;
  const entity = wasm.dwg_object_to_entity(object);
  if (entity) {
    const colour = wasm.dwg_object_entity_get_color_object(entity);
    if (colour && (colour.method === 0xc2 || colour.method === 0xc3)) trueColours++;
    if (colour && colour.alpha_type === 3) transparencies++;
  }
  if (name === 'ATTDEF') {
    const tio = wasm.dwg_object_to_entity_tio(object);
    const handle = handleOf(wasm.dwg_obj_get_handle_value(object));
    defaultValues.set(handle, libredwg.dwg_dynapi_entity_data(tio, 'default_value') ?? '');
  }
}

const { database } = libredwg.convertEx(data);

function point(p) {
  return [p?.x ?? 0, p?.y ?? 0, p?.z ?? 0];
}

function attributeFields(e) {
  return {
    handle: e.handle,
    tag: e.tag ?? '',
    flags: e.flags ?? 0,
    lockPosition: !!e.lockPositionFlag,
    layer: e.layer ?? '0',
    insertionPoint: point(e.text?.startPoint),
    alignmentPoint: point(e.alignmentPoint),
    height: e.text?.textHeight ?? 0,
    rotation: e.text?.rotation ?? 0,
    widthFactor: e.text?.xScale ?? 1,
    oblique: e.text?.obliqueAngle ?? 0,
    style: e.text?.styleName ?? '',
    horizontal: e.text?.halign ?? 0,
    vertical: e.text?.valign ?? 0,
  };
}

const attdefs = [];
const inserts = [];
// Model space is listed twice (as the database's entities and as the
// *Model_Space block's): each entity is taken once.
const seen = new Set();
function collect(entities) {
  for (const e of entities ?? []) {
    if (seen.has(e.handle)) continue;
    seen.add(e.handle);
    if (e.type === 'ATTDEF') {
      attdefs.push({ ...attributeFields(e), prompt: e.prompt ?? '', default: defaultValues.get(e.handle) ?? '' });
    } else if (e.type === 'INSERT' && e.attribs?.length) {
      inserts.push({
        handle: e.handle,
        block: e.name ?? '',
        attribs: e.attribs.map((a) => ({ ...attributeFields(a), value: a.text?.text ?? '' })),
      });
    }
  }
}
collect(database.entities);
for (const record of database.tables?.BLOCK_RECORD?.entries ?? []) collect(record.entities);

const sidecar = {
  version: libredwg.dwg_get_version_type(data)?.hdr ?? '',
  readWarnings: read.error,
  entityCounts,
  trueColours,
  transparencies,
  undecoded,
  undecodedKinds,
  attdefs,
  inserts,
};
writeFileSync(sidecarOut, JSON.stringify(sidecar));

let status;
try {
  status = wasm.dwg_write_dxf(kInput, kOutput);
} catch (e) {
  fail(kWriterFailed, `LibreDWG's DXF writer failed on this drawing (${e.message})`);
}
if (status >= kCriticalError || !wasm.FS.analyzePath(kOutput, false).exists)
  fail(kWriterFailed, `LibreDWG's DXF writer failed on this drawing (error code ${status})`);
writeFileSync(dxfOut, wasm.FS.readFile(kOutput));
process.exit(0);
