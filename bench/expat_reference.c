// SPDX-License-Identifier: MIT
#include "bench/expat_reference.h"

#include <arpa/inet.h>
#include <errno.h>
#include <expat.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

enum { kChunk = 64 * 1024 };

/* A growing byte buffer. */
struct bytes {
  char* data;
  size_t length, capacity;
  int failed;
};

static int reserve(struct bytes* b, size_t more) {
  if (b->failed) return 0;
  if (b->capacity - b->length >= more) return 1;
  size_t capacity = b->capacity ? b->capacity : 4096;
  while (capacity - b->length < more) capacity *= 2;
  char* data = realloc(b->data, capacity);
  if (!data) {
    b->failed = 1;
    return 0;
  }
  b->data = data;
  b->capacity = capacity;
  return 1;
}

static void append(struct bytes* b, const char* data, size_t length) {
  if (!reserve(b, length)) return;
  memcpy(b->data + b->length, data, length);
  b->length += length;
}

static void appendText(struct bytes* b, const char* text) { append(b, text, strlen(text)); }

static void appendNumber(struct bytes* b, long value) {
  char digits[24];
  int n = snprintf(digits, sizeof digits, "%ld", value);
  append(b, digits, (size_t)n);
}

static int sextet(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

/* Decodes base64 into `out`; a value that is not base64 is copied as it is. */
static void appendDecoded(struct bytes* out, const char* text, size_t length) {
  if (length % 4 != 0 || !reserve(out, length / 4 * 3)) {
    append(out, text, length);
    return;
  }
  size_t start = out->length;
  unsigned char* to = (unsigned char*)out->data + out->length;
  for (size_t i = 0; i < length; i += 4) {
    int a = sextet((unsigned char)text[i]), b = sextet((unsigned char)text[i + 1]);
    int c = text[i + 2] == '=' && i + 4 == length ? 0 : sextet((unsigned char)text[i + 2]);
    int d = text[i + 3] == '=' && i + 4 == length ? 0 : sextet((unsigned char)text[i + 3]);
    if ((a | b | c | d) < 0) {
      out->length = start;
      append(out, text, length);
      return;
    }
    unsigned v = (unsigned)a << 18 | (unsigned)b << 12 | (unsigned)c << 6 | (unsigned)d;
    *to++ = (unsigned char)(v >> 16);
    if (text[i + 2] != '=') *to++ = (unsigned char)(v >> 8);
    if (text[i + 3] != '=') *to++ = (unsigned char)v;
  }
  out->length = (size_t)((char*)to - out->data);
}

/* What the element handlers keep between calls. */
struct reader {
  struct bytes rows;
  struct bytes value; /* character data of the member being read */
  int depth;          /* of the element being read */
  int listDepth;      /* of the open list entry, 0 outside one */
  long row, column;
};

static const char* localName(const XML_Char* name) {
  const char* colon = strrchr(name, ':');
  return colon ? colon + 1 : name;
}

static void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  struct reader* r = data;
  (void)attributes;
  ++r->depth;
  if (r->listDepth == 0 && strcmp(localName(name), "list") == 0) {
    r->listDepth = r->depth;
    r->column = 0;
    appendText(&r->rows, "<row rownum=\\\"");
    appendNumber(&r->rows, r->row);
    appendText(&r->rows, "\\\">");
  } else if (r->listDepth != 0 && r->depth == r->listDepth + 1) {
    r->value.length = 0;
  }
}

static void XMLCALL onEnd(void* data, const XML_Char* name) {
  struct reader* r = data;
  if (r->listDepth != 0 && r->depth == r->listDepth + 1) {
    appendText(&r->rows, "<column colnum=\\\"");
    appendNumber(&r->rows, r->column++);
    appendText(&r->rows, "\\\" colname=\\\"");
    appendText(&r->rows, localName(name));
    appendText(&r->rows, "\\\">");
    appendDecoded(&r->rows, r->value.data, r->value.length);
    appendText(&r->rows, "</column>");
  } else if (r->depth == r->listDepth) {
    appendText(&r->rows, "</row>");
    r->listDepth = 0;
    ++r->row;
  }
  --r->depth;
}

static void XMLCALL onText(void* data, const XML_Char* text, int length) {
  struct reader* r = data;
  if (r->listDepth != 0 && r->depth == r->listDepth + 1) append(&r->value, text, (size_t)length);
}

/* Head plus Content-Length once the head is complete; 0 before. */
static size_t headLength(const char* received, size_t length, size_t* bodyLength) {
  for (size_t i = 0; i + 4 <= length; ++i) {
    if (memcmp(received + i, "\r\n\r\n", 4) != 0) continue;
    static const char kName[] = "\r\ncontent-length:";
    *bodyLength = 0;
    for (size_t at = 0; at + sizeof kName - 1 <= i; ++at) {
      size_t k = 0;
      while (k < sizeof kName - 1 && (received[at + k] | 0x20) == (kName[k] | 0x20)) ++k;
      if (k < sizeof kName - 1) continue;
      for (size_t j = at + k; j < i && received[j] != '\r'; ++j)
        if (received[j] >= '0' && received[j] <= '9') *bodyLength = *bodyLength * 10 + (size_t)(received[j] - '0');
      break;
    }
    return i + 4;
  }
  return 0;
}

static int connectTo(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  struct sockaddr_in address;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons((unsigned short)port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, (struct sockaddr*)&address, sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

static ssize_t receive(int fd, void* into, size_t capacity) {
  ssize_t n;
  do n = recv(fd, into, capacity, 0);
  while (n < 0 && errno == EINTR);
  return n;
}

int nvref_exchange(int port, const char* request, size_t request_length, struct nvref_download* out,
                   const char** error) {
  memset(out, 0, sizeof *out);
  int fd = connectTo(port);
  if (fd < 0) return *error = "connect failed", -1;
  for (size_t sent = 0; sent < request_length;) {
    ssize_t n = send(fd, request + sent, request_length - sent, MSG_NOSIGNAL);
    if (n <= 0) return close(fd), *error = "send failed", -1;
    sent += (size_t)n;
  }

  /* The head, and whatever body bytes came with it. */
  struct bytes head = {0};
  size_t headBytes = 0, bodyBytes = 0;
  while (headBytes == 0) {
    if (!reserve(&head, kChunk)) return close(fd), *error = "out of memory", -1;
    ssize_t n = receive(fd, head.data + head.length, kChunk);
    if (n <= 0) return close(fd), free(head.data), *error = "the answer ended in its head", -1;
    head.length += (size_t)n;
    headBytes = headLength(head.data, head.length, &bodyBytes);
  }

  struct reader r;
  memset(&r, 0, sizeof r);
  XML_Parser parser = XML_ParserCreate(NULL);
  XML_SetUserData(parser, &r);
  XML_SetElementHandler(parser, onStart, onEnd);
  XML_SetCharacterDataHandler(parser, onText);
  size_t parsed = head.length - headBytes;
  int ok = XML_Parse(parser, head.data + headBytes, (int)parsed, parsed >= bodyBytes) == XML_STATUS_OK;
  free(head.data);
  /* The rest straight into expat's own buffer: no copy of the answer. */
  while (ok && parsed < bodyBytes) {
    void* buffer = XML_GetBuffer(parser, kChunk);
    if (!buffer) break;
    ssize_t n = receive(fd, buffer, kChunk);
    if (n <= 0) break;
    parsed += (size_t)n;
    ok = XML_ParseBuffer(parser, (int)n, parsed >= bodyBytes) == XML_STATUS_OK;
  }
  close(fd);
  int failed = !ok || parsed < bodyBytes || r.rows.failed || r.value.failed;
  *error = !ok ? XML_ErrorString(XML_GetErrorCode(parser)) : failed ? "the answer was cut short" : NULL;
  XML_ParserFree(parser);
  free(r.value.data);
  if (failed) {
    free(r.rows.data);
    return -1;
  }
  out->text = r.rows.data;
  out->length = r.rows.length;
  out->rows = r.row;
  out->answer_bytes = parsed;
  return 0;
}

void nvref_release(struct nvref_download* download) {
  free(download->text);
  download->text = NULL;
}
