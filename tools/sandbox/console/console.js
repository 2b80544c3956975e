// SPDX-License-Identifier: MIT
// The sandbox console: polls the sandbox's JSON API and shows the exchanges,
// the armed faults and the centre's state. Every text that came from a HIS
// is put into the page as text (textContent, text nodes), never as markup.
"use strict";

const $ = (id) => document.getElementById(id);
const POLL_MS = 700;

// An element with attributes and children; strings become text nodes.
function el(tag, attributes, ...children) {
  const element = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes || {})) {
    if (name === "class") element.className = value;
    else element.setAttribute(name, value);
  }
  for (const child of children) element.append(child instanceof Node ? child : document.createTextNode(String(child)));
  return element;
}

async function api(method, path, body) {
  const options = { method, headers: {} };
  if (body !== undefined) {
    options.headers["Content-Type"] = "application/json";
    options.body = JSON.stringify(body);
  }
  const response = await fetch(path, options);
  const answer = await response.json();
  if (!response.ok) throw new Error(answer.error || "HTTP " + response.status);
  return answer;
}

function decodeBase64Utf8(base64) {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  return new TextDecoder("utf-8").decode(bytes);
}

// ---- Exchanges ----

const openRaw = new Set();  // ids whose raw bytes are shown
const rawCache = new Map(); // id -> {request, answer}, once the answer is out

function filterQuery() {
  const query = new URLSearchParams();
  for (const [key, id] of [["operation", "filter-operation"], ["number", "filter-number"], ["outcome", "filter-outcome"]]) {
    const value = $(id).value.trim();
    if (value) query.set(key, value);
  }
  return query.toString();
}

function rowsTable(rows) {
  const columns = [];
  for (const row of rows) for (const name of Object.keys(row)) if (!columns.includes(name)) columns.push(name);
  const table = el("table", { class: "rows" }, el("thead", {}, el("tr", {}, ...columns.map((c) => el("th", {}, c)))));
  const body = el("tbody");
  for (const row of rows) body.append(el("tr", {}, ...columns.map((c) => el("td", {}, row[c] ?? ""))));
  table.append(body);
  return el("div", { class: "scroll" }, table);
}

async function showRaw(exchange, details) {
  let raw = rawCache.get(exchange.id);
  if (!raw) {
    const full = (await api("GET", "/api/exchanges/" + exchange.id)).exchange;
    raw = { request: decodeBase64Utf8(full.rawRequestBase64), answer: decodeBase64Utf8(full.rawAnswerBase64) };
    if (!full.held) rawCache.set(exchange.id, raw);
  }
  details.querySelector(".raw-request").textContent = raw.request;
  details.querySelector(".raw-answer").textContent = raw.answer || "(nothing was sent)";
}

function exchangeItem(exchange) {
  const classes = ["exchange", "outcome-" + exchange.outcome];
  if (exchange.held) classes.push("held");
  const item = el("li", { class: classes.join(" "), id: "exchange-" + exchange.id });
  const line = el("div", { class: "line" },
    el("span", { class: "meta" }, "#" + exchange.id),
    el("time", { class: "meta" }, exchange.time),
    el("span", { class: "operation" }, exchange.operation || "(no operation)"),
    el("span", { class: "outcome" }, exchange.outcome),
    el("span", { class: "meta duration" }, exchange.held ? "…" : exchange.durationMs + " ms"),
    el("span", { class: "meta delivery" }, exchange.delivery));
  if (exchange.armed) line.append(el("span", { class: "armed" }, "armed: " + exchange.armed));
  item.append(line);
  if (exchange.members.length) {
    const members = el("div", { class: "members" });
    for (const member of exchange.members)
      members.append(el("span", { class: "member" }, el("span", { class: "name" }, member.name),
        el("span", { class: "value" }, member.value)));
    item.append(members);
  }
  if (exchange.outcome !== "ok") item.append(el("div", { class: "message" }, exchange.message));
  else if (exchange.rows.length) item.append(rowsTable(exchange.rows));
  const details = el("details", {},
    el("summary", {}, "原始报文 Raw request and answer"),
    el("pre", { class: "raw-request" }, "…"),
    el("pre", { class: "raw-answer" }, "…"));
  if (openRaw.has(exchange.id)) {
    details.open = true;
    showRaw(exchange, details).catch(() => {});
  }
  details.addEventListener("toggle", () => {
    if (details.open) {
      openRaw.add(exchange.id);
      showRaw(exchange, details).catch((e) => { details.querySelector(".raw-request").textContent = e.message; });
    } else {
      openRaw.delete(exchange.id);
    }
  });
  item.append(details);
  return item;
}

function renderExchanges(exchanges) {
  $("exchanges").replaceChildren(...exchanges.map(exchangeItem));
  $("no-exchanges").hidden = exchanges.length > 0;
  if (location.hash) document.querySelector(location.hash)?.classList.add("highlight");
}

// ---- The centre's state ----

function exchangeLinks(ids) {
  if (!ids.length) return [el("span", { class: "meta" }, "seed")];
  return ids.map((id) => {
    const link = el("a", { class: "exchange-link", href: "#exchange-" + id }, "#" + id);
    link.addEventListener("click", () => {
      // An exchange the filter hides: show them all.
      if (!document.getElementById("exchange-" + id)) {
        for (const field of ["filter-operation", "filter-number", "filter-outcome"]) $(field).value = "";
        refreshSoon();
      }
    });
    return link;
  });
}

function renderState(state) {
  const parts = [];
  for (const table of state.tables) {
    parts.push(el("h3", { id: "table-" + table.name }, table.title + " (" + table.rows.length + ")"));
    if (!table.rows.length) {
      parts.push(el("p", { class: "empty" }, "—"));
      continue;
    }
    const head = el("tr", {}, el("th", {}, "交换 exchanges"), ...table.columns.map((c) => el("th", {}, c)));
    const body = el("tbody");
    for (const row of table.rows)
      body.append(el("tr", {}, el("td", {}, ...exchangeLinks(row.exchanges)), ...row.values.map((v) => el("td", {}, v))));
    parts.push(el("div", { class: "scroll" }, el("table", { class: "state", "data-table": table.name }, el("thead", {}, head), body)));
  }
  $("state").replaceChildren(...parts);
}

// ---- Faults ----

function renderFaults(faults) {
  const body = $("faults").querySelector("tbody");
  body.replaceChildren(...faults.map((fault) => {
    const disarm = el("button", { type: "button", class: "disarm" }, "撤除 Disarm");
    disarm.addEventListener("click", () => api("DELETE", "/api/faults/" + fault.id).then(refreshSoon, showArmError));
    return el("tr", { "data-fault": fault.id }, el("td", {}, fault.id), el("td", {}, fault.operation || "任意 any"),
      el("td", {}, fault.description), el("td", {}, fault.remaining + " / " + fault.count), el("td", {}, disarm));
  }));
  $("faults").hidden = faults.length === 0;
  $("no-faults").hidden = faults.length > 0;
}

function showArmError(error) { $("arm-error").textContent = error.message; }

function showKindFields() {
  const kind = $("fault-kind").value;
  for (const [cls, wanted] of [["for-fault", "fault"], ["for-wait", "wait"], ["for-trickle", "trickle"]])
    for (const field of document.getElementsByClassName(cls)) field.hidden = kind !== wanted;
}

async function arm(event) {
  event.preventDefault();
  $("arm-error").textContent = "";
  const kind = $("fault-kind").value;
  const spec = { operation: $("fault-operation").value, count: Number($("fault-count").value), kind };
  if (kind === "fault") spec.text = $("fault-text").value;
  if (kind === "wait") spec.seconds = Number($("fault-seconds").value);
  if (kind === "trickle") spec.bytesPerSecond = Number($("fault-rate").value);
  try {
    await api("POST", "/api/faults", spec);
    refreshSoon();
  } catch (error) {
    showArmError(error);
  }
}

// ---- Polling ----

let version = -1;
let shownQuery = null;
let timer = null;

async function refresh() {
  const status = $("status");
  try {
    const query = filterQuery();
    const unchangedAsked = query === shownQuery ? "&ifNewer=" + version : "";
    const list = await api("GET", "/api/exchanges?" + query + unchangedAsked);
    if (!list.unchanged) {
      renderExchanges(list.exchanges);
      renderState(await api("GET", "/api/state"));
      version = list.version;
      shownQuery = query;
    }
    renderFaults((await api("GET", "/api/faults")).faults);
    status.textContent = "● 在线 live";
    status.className = "status live";
  } catch (error) {
    status.textContent = "● 沙盒未应答 the sandbox does not answer: " + error.message;
    status.className = "status down";
  }
}

function refreshSoon() {
  clearTimeout(timer);
  timer = setTimeout(loop, 0);
}

async function loop() {
  await refresh();
  clearTimeout(timer);
  timer = setTimeout(loop, POLL_MS);
}

async function start() {
  try {
    const service = await api("GET", "/api/service");
    $("service").textContent = location.origin + service.servicePath;
    $("wsdl").href = service.servicePath + "?wsdl";
    for (const select of [$("fault-operation"), $("filter-operation")])
      for (const name of service.operations) select.append(el("option", { value: name }, name));
  } catch (error) {
    $("status").textContent = error.message;
  }
  $("arm-form").addEventListener("submit", arm);
  $("fault-kind").addEventListener("change", showKindFields);
  $("filter").addEventListener("input", refreshSoon);
  $("filter").addEventListener("submit", (event) => { event.preventDefault(); refreshSoon(); });
  $("reset").addEventListener("click", () => {
    if (confirm("把中心的数据库恢复为初始数据? Return the centre's database to its seed?"))
      api("POST", "/api/reset").then(refreshSoon, (error) => { $("status").textContent = error.message; });
  });
  showKindFields();
  loop();
}

start();
