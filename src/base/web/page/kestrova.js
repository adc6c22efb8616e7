// The recordings page of Kestrova: the list, the archive by day, and the live state.
"use strict";

const $ = (id) => document.getElementById(id);
let live = null;

async function holen(pfad, optionen) {
  const antwort = await fetch(pfad, Object.assign({ credentials: "same-origin" }, optionen));
  if (antwort.status === 401) {
    zeigeAnmeldung();
    throw new Error("Anmeldung nötig");
  }
  return antwort;
}

function sekundenText(sekunden) {
  return sekunden.toLocaleString("de-DE", { minimumFractionDigits: 1, maximumFractionDigits: 1 }) + " s";
}

function dateiAdresse(pfad, herunterladen) {
  return "/datei?pfad=" + encodeURIComponent(pfad) + (herunterladen ? "&herunterladen=1" : "");
}

// One entry: when, how long, the player, the download and the hash.
function eintrag(aufnahme) {
  const li = document.createElement("li");
  li.dataset.pfad = aufnahme.pfad;
  const wann = document.createElement("span");
  wann.className = "wann";
  wann.textContent = aufnahme.datum ? aufnahme.datum + " " + aufnahme.zeit : aufnahme.name;
  wann.title = aufnahme.name;
  const laenge = document.createElement("span");
  laenge.className = "laenge";
  laenge.textContent = sekundenText(aufnahme.sekunden);
  const audio = document.createElement("audio");
  audio.controls = true;
  audio.preload = "none";
  audio.src = dateiAdresse(aufnahme.pfad, false);
  const laden = document.createElement("a");
  laden.className = "laden";
  laden.href = dateiAdresse(aufnahme.pfad, true);
  laden.download = aufnahme.name;
  laden.textContent = "Herunterladen";
  const hash = document.createElement("div");
  hash.className = "hash";
  hash.append("SHA-256: ");
  const code = document.createElement("code");
  code.textContent = aufnahme.hash || "–";
  hash.append(code);
  li.append(wann, laenge, audio, laden, hash);
  return li;
}

// Keeps the entries already shown (a recording being played goes on playing).
function zeigeListe(liste, aufnahmen) {
  const vorhanden = new Map();
  for (const li of Array.from(liste.children)) {
    vorhanden.set(li.dataset.pfad, li);
  }
  let davor = null;
  for (const aufnahme of aufnahmen) {
    let li = vorhanden.get(aufnahme.pfad);
    vorhanden.delete(aufnahme.pfad);
    if (!li) {
      li = eintrag(aufnahme);
    } else {
      li.querySelector(".hash code").textContent = aufnahme.hash || "–";
    }
    const naechster = davor ? davor.nextSibling : liste.firstChild;
    if (li !== naechster) {
      liste.insertBefore(li, naechster);
    }
    davor = li;
  }
  for (const li of vorhanden.values()) {
    li.remove();
  }
}

async function ladeAufnahmen() {
  const aufnahmen = await (await holen("/api/aufnahmen")).json();
  zeigeListe($("aufnahmen"), aufnahmen);
  $("anzahl").textContent = "(" + aufnahmen.length + ")";
  $("keine").hidden = aufnahmen.length > 0;
}

async function ladeTage() {
  const tage = await (await holen("/api/archiv")).json();
  const auswahl = $("tage");
  const gewaehlt = auswahl.value;
  auswahl.replaceChildren();
  for (const tag of tage) {
    const option = document.createElement("option");
    option.value = tag.pfad;
    option.textContent = tag.datum + " – Funkkreis " + tag.kreis;
    auswahl.append(option);
  }
  if (tage.some((tag) => tag.pfad === gewaehlt)) {
    auswahl.value = gewaehlt;
  }
  $("archivhinweis").hidden = tage.length > 0;
  await ladeTag();
}

async function ladeTag() {
  const tag = $("tage").value;
  if (!tag) {
    zeigeListe($("archiv"), []);
    return;
  }
  const aufnahmen = await (await holen("/api/archiv/tag?pfad=" + encodeURIComponent(tag))).json();
  zeigeListe($("archiv"), aufnahmen);
}

function zeigeZustand(zustand) {
  $("rekorder").textContent = zustand.an ? (zustand.pause ? "Recorder an – Pause" : "Recorder an") : "Recorder aus";
  $("aufnahme").hidden = !zustand.aufnahme;
  $("aufnahme").title = zustand.name || "";
  $("pegel").style.width = zustand.pegel + "%";
  $("pegelwert").textContent = zustand.pegel;
}

function folgeLive() {
  if (live) {
    live.close();
  }
  live = new EventSource("/api/live");
  live.addEventListener("status", (ereignis) => zeigeZustand(JSON.parse(ereignis.data)));
  live.addEventListener("liste", () => {
    ladeAufnahmen().catch(() => {});
    ladeTage().catch(() => {});
  });
  // After a break the list may have grown meanwhile.
  let unterbrochen = false;
  live.onopen = () => {
    if (unterbrochen) {
      ladeAufnahmen().catch(() => {});
      ladeTage().catch(() => {});
    }
  };
  live.onerror = () => {
    unterbrochen = true;
    $("rekorder").textContent = "Verbindung unterbrochen – neuer Versuch …";
  };
}

function zeigeAnmeldung() {
  if (live) {
    live.close();
    live = null;
  }
  $("inhalt").hidden = true;
  $("anmeldung").hidden = false;
  $("rekorder").textContent = "Nicht angemeldet";
  $("passwort").focus();
}

async function start() {
  const zustand = await (await holen("/api/status")).json();
  zeigeZustand(zustand);
  $("abmelden").hidden = !zustand.mitPasswort;
  $("anmeldung").hidden = true;
  $("inhalt").hidden = false;
  await Promise.all([ladeAufnahmen(), ladeTage()]);
  folgeLive();
}

async function anmelden(ereignis) {
  ereignis.preventDefault();
  const antwort = await fetch("/api/anmelden", {
    method: "POST",
    credentials: "same-origin",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify({ passwort: $("passwort").value }),
  });
  const daten = await antwort.json();
  $("passwort").value = "";
  if (!antwort.ok) {
    $("anmeldefehler").textContent = daten.fehler || "Anmeldung fehlgeschlagen.";
    return;
  }
  $("anmeldefehler").textContent = "";
  start().catch(() => {});
}

async function abmelden() {
  await fetch("/api/abmelden", { method: "POST", credentials: "same-origin" });
  zeigeAnmeldung();
}

document.addEventListener("DOMContentLoaded", () => {
  $("anmeldeformular").addEventListener("submit", anmelden);
  $("tage").addEventListener("change", () => ladeTag().catch(() => {}));
  $("abmelden").addEventListener("click", abmelden);
  start().catch(() => {});
});
