'use strict';
// The guest's phone: joins the game, shows the cards, marks them as numbers are drawn, sends claims.

const TOKENS_KEY = 'halvora.tokens';
const REQUEST_TIMEOUT_MS = 10000;
const CLAIM_REST_MS = 1000;
const MAX_RETRY_SECONDS = 5;
const FREE = 0;
const LETTERS = ['B', 'I', 'N', 'G', 'O'];

const NETWORK_ERROR = 'つながりませんでした。会場のWi-Fiにつながっているか確かめて、もう一度お試しください。';
const JOIN_FAILED = 'カードをもらえませんでした。少し待ってからもう一度お試しください。';
const CARD_FAILED = 'カードを読み込めませんでした。つながると自動で読み込みます。';
const CLAIM_FAILED = 'ビンゴを知らせられませんでした。もう一度押してください。';
const CLAIM_NOTE = '係の人に知らせました。';

// The 12 lines as square indexes (row by row): 5 rows, 5 columns, 2 diagonals.
const LINES = (() => {
  const lines = [];
  for (let k = 0; k < 5; k++) {
    lines.push([0, 1, 2, 3, 4].map((i) => k * 5 + i));
    lines.push([0, 1, 2, 3, 4].map((i) => i * 5 + k));
  }
  lines.push([0, 6, 12, 18, 24], [4, 8, 12, 16, 20]);
  return lines;
})();

const state = {
  tokens: readTokens(), // every card this browser holds, loaded or not
  cards: [], // {token, card, element}
  drawn: [],
  cardsPerBrowser: 1,
  joining: false, // a join is under way: a second tap must not fetch a second card
  loading: false,
};

const live = { socket: null, retries: 0, timer: 0 };

const byId = (id) => document.getElementById(id);

function el(tag, className, text) {
  const node = document.createElement(tag);
  node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

// ---- stored tokens ----
function readTokens() {
  try {
    const list = JSON.parse(localStorage.getItem(TOKENS_KEY) || '[]');
    return Array.isArray(list) ? [...new Set(list.filter((t) => typeof t === 'string' && t !== ''))] : [];
  } catch (e) {
    return []; // unreadable or blocked storage: start afresh rather than fail
  }
}

function saveTokens() {
  try {
    localStorage.setItem(TOKENS_KEY, JSON.stringify(state.tokens));
  } catch (e) {
    // Private browsing may refuse: the card still works until the page is reloaded.
  }
}

function forgetToken(token) {
  state.tokens = state.tokens.filter((t) => t !== token);
  saveTokens();
}

function rememberToken(token) {
  if (!state.tokens.includes(token)) state.tokens.push(token);
  saveTokens();
}

// ---- talking to the program ----
// POSTs JSON; resolves {status, data} (data is {} when the answer is not JSON), rejects on network failure.
async function post(path, body, token) {
  const headers = { 'Content-Type': 'application/json' };
  if (token) headers['X-Halvora-Token'] = token;
  // A phone on weak Wi-Fi can wait for minutes; give up sooner so the guest can try again.
  const controller = new AbortController();
  const timer = setTimeout(() => controller.abort(), REQUEST_TIMEOUT_MS);
  try {
    const response = await fetch(path, { method: 'POST', headers, body: JSON.stringify(body), signal: controller.signal });
    let data = null;
    try { data = await response.json(); } catch (e) { /* empty or not JSON */ }
    return { status: response.status, data: data && typeof data === 'object' ? data : {} };
  } finally {
    clearTimeout(timer);
  }
}

function errorText(reply, fallback) {
  return typeof reply.data.error === 'string' && reply.data.error !== '' ? reply.data.error : fallback;
}

function isCard(card) {
  return !!card && Array.isArray(card.squares) && card.squares.length === 25 && card.squares.every(Number.isInteger);
}

function showMessage(text) {
  const box = byId('message');
  box.textContent = text;
  box.hidden = text === '';
}

// ---- cards ----
// Fetches each card; an unknown token (403) is forgotten, any other failure keeps it for a later try.
async function loadCards(tokens) {
  if (state.loading) return;
  state.loading = true;
  let failure = '';
  for (const token of tokens) {
    try {
      const reply = await post('/api/card', {}, token);
      if (reply.status === 403) forgetToken(token);
      else if (reply.status === 200 && isCard(reply.data.card)) addCard(token, reply.data.card);
      else failure = errorText(reply, CARD_FAILED);
    } catch (e) {
      failure = CARD_FAILED;
    }
  }
  state.loading = false;
  showMessage(failure);
  showView();
}

function retryUnloadedCards() {
  const unloaded = state.tokens.filter((t) => !state.cards.some((entry) => entry.token === t));
  if (unloaded.length > 0) loadCards(unloaded);
}

function addCard(token, card) {
  const entry = { token, card, element: null };
  entry.element = buildCard(entry);
  state.cards.push(entry);
  byId('cards').append(entry.element);
  markCard(entry);
}

function numberText(n, style) {
  return style === 'classic' && n < 10 ? '0' + n : String(n);
}

function buildCard(entry) {
  const card = entry.card;
  const root = el('article', 'card');
  root.dataset.serial = String(card.serial);
  const head = el('div', 'card-head');
  head.append(el('span', 'serial', typeof card.serialText === 'string' ? card.serialText : 'No. ' + card.serial));
  if (card.nickname) head.append(el('span', 'nickname', String(card.nickname)));
  const grid = el('div', 'grid');
  if (card.style === 'bingo') LETTERS.forEach((letter) => grid.append(el('div', 'letter', letter)));
  card.squares.forEach((n) => {
    const cell = el('div', 'cell', n === FREE ? '☆' : numberText(n, card.style));
    cell.dataset.number = String(n);
    grid.append(cell);
  });
  const claim = el('button', 'claim', 'ビンゴ！');
  claim.type = 'button';
  claim.addEventListener('click', () => sendClaim(entry));
  const result = el('p', 'claim-result');
  result.setAttribute('aria-live', 'polite');
  root.append(head, el('div', 'status'), grid, claim, result);
  return root;
}

// Which squares are marked, which lie on a complete line, and how many lines lack one number.
function judgeCard(squares, drawn) {
  const marked = squares.map((n) => n === FREE || drawn.has(n));
  const onLine = new Set();
  let bingo = 0;
  let reach = 0;
  for (const line of LINES) {
    const missing = line.filter((i) => !marked[i]).length;
    if (missing === 0) {
      bingo++;
      line.forEach((i) => onLine.add(i));
    } else if (missing === 1) {
      reach++;
    }
  }
  return { marked, onLine, bingo, reach };
}

// Re-marks from the whole drawn list, so a number the operator took back loses its mark.
function markCard(entry) {
  const latest = state.drawn.length > 0 ? state.drawn[state.drawn.length - 1] : -1;
  const judged = judgeCard(entry.card.squares, new Set(state.drawn));
  entry.element.querySelectorAll('.cell').forEach((cell, i) => {
    cell.classList.toggle('marked', judged.marked[i]);
    cell.classList.toggle('latest', entry.card.squares[i] === latest);
    cell.classList.toggle('line', judged.onLine.has(i));
  });
  const status = entry.element.querySelector('.status');
  status.textContent = judged.bingo > 0 ? 'ビンゴ！' : judged.reach > 0 ? `リーチ ${judged.reach}` : '';
  status.classList.toggle('is-bingo', judged.bingo > 0);
  entry.element.classList.toggle('has-bingo', judged.bingo > 0);
}

// ---- joining and claiming ----
async function join(nickname) {
  if (state.joining) return;
  state.joining = true;
  setJoinButtonsDisabled(true);
  showMessage('');
  try {
    const reply = await post('/api/join', { nickname }, null);
    if (reply.status === 200 && typeof reply.data.token === 'string' && isCard(reply.data.card)) {
      rememberToken(reply.data.token);
      addCard(reply.data.token, reply.data.card);
    } else {
      showMessage(errorText(reply, JOIN_FAILED));
    }
  } catch (e) {
    showMessage(NETWORK_ERROR);
  } finally {
    state.joining = false;
    setJoinButtonsDisabled(false);
    showView();
  }
}

function setJoinButtonsDisabled(disabled) {
  byId('join').disabled = disabled;
  byId('more').disabled = disabled;
}

async function sendClaim(entry) {
  const button = entry.element.querySelector('.claim');
  if (button.disabled) return;
  button.disabled = true;
  const pressedAt = Date.now();
  try {
    const reply = await post('/api/claim', {}, entry.token);
    if (reply.status === 200 && typeof reply.data.text === 'string') {
      showClaimResult(entry, reply.data.bingo === true, reply.data.text);
    } else {
      showClaimResult(entry, false, errorText(reply, CLAIM_FAILED));
    }
  } catch (e) {
    showClaimResult(entry, false, NETWORK_ERROR);
  }
  // The program refuses a second claim within a second; resting the button spares the guest that answer.
  setTimeout(() => { button.disabled = false; }, Math.max(0, CLAIM_REST_MS - (Date.now() - pressedAt)));
}

function showClaimResult(entry, bingo, text) {
  const result = entry.element.querySelector('.claim-result');
  result.textContent = text;
  if (bingo) result.append(el('span', 'claim-note', CLAIM_NOTE));
  result.classList.toggle('win', bingo);
}

// ---- what shows ----
function showView() {
  // A card that could not be fetched is still the guest's: offer no new one meanwhile.
  const waiting = state.tokens.length > state.cards.length;
  byId('join-view').hidden = state.cards.length > 0 || waiting || state.loading;
  byId('more').hidden = state.cards.length === 0 || state.tokens.length >= state.cardsPerBrowser;
}

function showLatest() {
  const box = byId('latest');
  box.textContent = '';
  if (state.drawn.length === 0) {
    box.textContent = 'まだ抽選前です';
    return;
  }
  const latest = state.drawn[state.drawn.length - 1];
  box.append(el('span', 'latest-label', '最新 '), el('span', 'latest-number', String(latest)),
    el('span', 'latest-count', ` ${state.drawn.length}個目`));
}

function showConnection(connected) {
  const status = byId('connection');
  status.textContent = connected ? 'つながっています' : '接続中…';
  status.classList.toggle('online', connected);
}

// ---- live game ----
function connectLive() {
  clearTimeout(live.timer);
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  let socket;
  try {
    socket = new WebSocket(scheme + location.host + '/api/live');
  } catch (e) {
    scheduleReconnect();
    return;
  }
  live.socket = socket;
  socket.addEventListener('open', () => {
    showConnection(true);
    retryUnloadedCards();
  });
  socket.addEventListener('message', (event) => onGameMessage(event.data));
  // A refused socket may report only 'error' (no 'close'), so either one means it is gone.
  const lost = () => {
    if (live.socket !== socket) return;
    live.socket = null;
    showConnection(false);
    scheduleReconnect();
  };
  socket.addEventListener('error', lost);
  socket.addEventListener('close', lost);
}

// 1 s, 2 s, … then every 5 s; the count restarts once a game message arrives.
function scheduleReconnect() {
  clearTimeout(live.timer);
  live.retries = Math.min(live.retries + 1, MAX_RETRY_SECONDS);
  live.timer = setTimeout(connectLive, live.retries * 1000);
}

function onGameMessage(text) {
  let message;
  try { message = JSON.parse(text); } catch (e) { return; }
  if (!message || message.type !== 'game' || !Array.isArray(message.drawn)) return;
  live.retries = 0;
  state.drawn = message.drawn.filter(Number.isInteger);
  const perBrowser = message.cardsPerBrowser;
  state.cardsPerBrowser = Number.isInteger(perBrowser) && perBrowser > 0 ? perBrowser : 1;
  showLatest();
  state.cards.forEach(markCard);
  showView();
}

// A phone that slept has usually lost its socket: reconnect at once rather than wait for the timer.
function reconnectIfAwake() {
  if (!document.hidden && live.socket === null) connectLive();
}

function start() {
  byId('join-view').addEventListener('submit', (event) => {
    event.preventDefault();
    join(byId('nickname').value.trim());
  });
  byId('more').addEventListener('click', () => {
    if (state.tokens.length < state.cardsPerBrowser) join(state.cards.length > 0 ? state.cards[0].card.nickname || '' : '');
  });
  document.addEventListener('visibilitychange', reconnectIfAwake);
  showConnection(false);
  connectLive();
  loadCards(state.tokens.slice());
}

start();
