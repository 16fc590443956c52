#!/usr/bin/env python3
"""Fills translations/velumo_<lang>.ts from the dictionaries beside it.

Run lupdate first, so each .ts lists today's source texts:
  lupdate -locations none src -ts translations/velumo_{de,fr,es,pt_BR}.ts
  python3 translations/fill_ts.py
Texts of a dictionary the sources do not (yet) have are added as well, so the
window's texts made elsewhere arrive translated. Every text gets a finished
translation; a source text missing from a dictionary stops the script.
"""
import pathlib
import sys
import xml.etree.ElementTree as ET

here = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(here))
from texts_de_fr import DE, FR  # noqa: E402
from texts_es_pt import ES, PT_BR  # noqa: E402

LANGS = {"de": DE, "fr": FR, "es": ES, "pt_BR": PT_BR}


def fill(lang, table):
    path = here / f"velumo_{lang}.ts"
    root = ET.parse(path).getroot() if path.exists() else ET.Element("TS", version="2.1")
    root.set("language", lang)
    contexts = {c.findtext("name"): c for c in root.findall("context")}
    seen = set()
    for name, ctx in contexts.items():
        for m in ctx.findall("message"):
            seen.add((name, m.findtext("source")))
    for name, source in table:
        if (name, source) in seen:
            continue
        ctx = contexts.get(name)
        if ctx is None:
            ctx = ET.SubElement(root, "context")
            ET.SubElement(ctx, "name").text = name
            contexts[name] = ctx
        m = ET.SubElement(ctx, "message")
        ET.SubElement(m, "source").text = source
        ET.SubElement(m, "translation")
    missing = []
    for name, ctx in contexts.items():
        for m in ctx.findall("message"):
            key = (name, m.findtext("source"))
            tr = m.find("translation")
            if key not in table:
                missing.append(key)
                continue
            tr.text = table[key]
            tr.attrib.pop("type", None)
    if missing:
        sys.exit(f"{lang}: no translation for {missing}")
    ET.indent(root)
    body = ET.tostring(root, encoding="unicode")
    path.write_text('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + body + "\n", encoding="utf-8")


for lang, table in LANGS.items():
    fill(lang, table)
