-- Freight documents (conhecimentos) and their invoices: PostgreSQL schema.
-- Run on an empty UTF-8 database, then procedures.sql, then ../demo.sql (optional).
-- Every CREATE fails on a database that already holds these objects, on purpose.
-- A whole script for the engine's own client, kept beside ../sqlite/schema.sql
-- rather than generated from a shared one: the engines differ inside the
-- tables (types, checks, triggers). A test holds both to the same columns.
-- Identifiers are unquoted (folded to lower case), as the component writes them.
-- Record status: TAB_STATUS_ID 1 = active, 2 = deleted. The file is UTF-8.

-- ---------------------------------------------------------------------------
-- Lookup tables. The component relies on these codes.
-- ---------------------------------------------------------------------------

CREATE TABLE TAB_STATUS (
    TAB_STATUS_ID INTEGER PRIMARY KEY,
    DESCRICAO     VARCHAR(60) NOT NULL
);
INSERT INTO TAB_STATUS (TAB_STATUS_ID, DESCRICAO) VALUES (1, 'Ativo');
INSERT INTO TAB_STATUS (TAB_STATUS_ID, DESCRICAO) VALUES (2, 'Excluído');

CREATE TABLE TAB_TIPO_COBRANCA (
    TAB_TIPO_COBRANCA_ID INTEGER PRIMARY KEY,
    DESCRICAO            VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID, DESCRICAO) VALUES (1, 'CIF remetente');
INSERT INTO TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID, DESCRICAO) VALUES (2, 'FOB destinatário');
INSERT INTO TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID, DESCRICAO) VALUES (3, 'Cliente consignatário');

CREATE TABLE TAB_TIPO_DESPACHO (
    TAB_TIPO_DESPACHO_ID INTEGER PRIMARY KEY,
    DESCRICAO            VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_DESPACHO (TAB_TIPO_DESPACHO_ID, DESCRICAO) VALUES (1, 'Normal');
INSERT INTO TAB_TIPO_DESPACHO (TAB_TIPO_DESPACHO_ID, DESCRICAO) VALUES (2, 'Expresso');

CREATE TABLE TAB_SIT_ENTREGA (
    TAB_SIT_ENTREGA_ID INTEGER PRIMARY KEY,
    DESCRICAO          VARCHAR(60) NOT NULL
);
INSERT INTO TAB_SIT_ENTREGA (TAB_SIT_ENTREGA_ID, DESCRICAO) VALUES (1, 'Em trânsito');
INSERT INTO TAB_SIT_ENTREGA (TAB_SIT_ENTREGA_ID, DESCRICAO) VALUES (2, 'Entregue');

CREATE TABLE TAB_TIPO_DOCTO_TRANSP (
    TAB_TIPO_DOCTO_TRANSP_ID INTEGER PRIMARY KEY,
    DESCRICAO                VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_DOCTO_TRANSP (TAB_TIPO_DOCTO_TRANSP_ID, DESCRICAO) VALUES (1, 'Conhecimento rodoviário (CTRC)');
INSERT INTO TAB_TIPO_DOCTO_TRANSP (TAB_TIPO_DOCTO_TRANSP_ID, DESCRICAO) VALUES (2, 'Conhecimento de coleta');

CREATE TABLE TAB_TIPO_MSG (
    TAB_TIPO_MSG_ID INTEGER PRIMARY KEY,
    DESCRICAO       VARCHAR(60) NOT NULL
);
INSERT INTO TAB_TIPO_MSG (TAB_TIPO_MSG_ID, DESCRICAO) VALUES (1, 'Erro');

-- ---------------------------------------------------------------------------
-- Companies, cities, branches.
-- ---------------------------------------------------------------------------

CREATE TABLE EMPRESA (
    EMPRESA_ID       INTEGER PRIMARY KEY,
    NOME             VARCHAR(100) NOT NULL,
    CNPJ             VARCHAR(18),
    GRUPO_EMPRESA_ID INTEGER
);

CREATE TABLE MUNICIPIO (
    MUNICIPIO_ID INTEGER PRIMARY KEY,
    MUNICIPIO    VARCHAR(100) NOT NULL,
    UF           VARCHAR(2)
);

-- Branches (pontos de operação): each belongs to one company.
CREATE TABLE PONTO_OPERACAO (
    PONTO_OPERACAO_ID INTEGER PRIMARY KEY,
    EMPRESA_ID        INTEGER NOT NULL REFERENCES EMPRESA (EMPRESA_ID),
    NOME              VARCHAR(100) NOT NULL,
    MUNICIPIO_ID      INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID)
);

-- ---------------------------------------------------------------------------
-- Parties: senders, recipients, clients.
-- ---------------------------------------------------------------------------

-- INDICATIVO_PF_PJ: 'F' individual (CPF), 'J' company (CNPJ). PJ_CGC and
-- PF_CPF hold the formatted numbers, either may be NULL (or empty).
CREATE TABLE PESSOA (
    PESSOA_ID        INTEGER PRIMARY KEY,
    NOME             VARCHAR(100),
    INDICATIVO_PF_PJ VARCHAR(1) CHECK (INDICATIVO_PF_PJ IN ('F', 'J')),
    PJ_CGC           VARCHAR(18),
    PF_CPF           VARCHAR(14)
);

CREATE TABLE ENDERECO_PESSOA (
    ENDERECO_PESSOA_ID INTEGER PRIMARY KEY,
    PESSOA_ID          INTEGER NOT NULL REFERENCES PESSOA (PESSOA_ID),
    ENDERECO           VARCHAR(150),
    MUNICIPIO_ID       INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID),
    TELEFONE           VARCHAR(30)
);
CREATE INDEX IX_ENDERECO_PESSOA_PESSOA ON ENDERECO_PESSOA (PESSOA_ID);

-- The parties that pay freight.
CREATE TABLE CLIENTE (
    PESSOA_ID     INTEGER PRIMARY KEY REFERENCES PESSOA (PESSOA_ID),
    EMPRESA_ID    INTEGER,
    TAB_STATUS_ID INTEGER NOT NULL DEFAULT 1
);

-- One row per address, with the party's name and documents and the city's name.
CREATE VIEW VENDERECO_PESSOA AS
SELECT E.ENDERECO_PESSOA_ID AS ENDERECO_PESSOA_ID,
       E.PESSOA_ID          AS PESSOA_ID,
       P.NOME               AS NOME,
       E.ENDERECO           AS ENDERECO,
       M.MUNICIPIO          AS MUNICIPIO,
       E.TELEFONE           AS TELEFONE,
       P.PJ_CGC             AS PJ_CGC,
       P.PF_CPF             AS PF_CPF,
       P.INDICATIVO_PF_PJ   AS INDICATIVO_PF_PJ
  FROM ENDERECO_PESSOA E
  JOIN PESSOA P ON P.PESSOA_ID = E.PESSOA_ID
  LEFT JOIN MUNICIPIO M ON M.MUNICIPIO_ID = E.MUNICIPIO_ID;

-- One row per client (whatever its status).
CREATE VIEW VCLIENTE AS
SELECT P.PESSOA_ID        AS PESSOA_ID,
       P.NOME             AS NOME,
       P.PJ_CGC           AS PJ_CGC,
       P.PF_CPF           AS PF_CPF,
       P.INDICATIVO_PF_PJ AS INDICATIVO_PF_PJ
  FROM CLIENTE C
  JOIN PESSOA P ON P.PESSOA_ID = C.PESSOA_ID;

-- ---------------------------------------------------------------------------
-- Transport documents and their invoices.
-- ---------------------------------------------------------------------------

-- Every reference is a key, as in production: a document names an existing
-- company, branch, client, address, city and code (NULL: none), and an
-- invoice an existing document. The component writes the screen's 0 as NULL.
CREATE TABLE DOCTO_TRANSPORTE (
    DOCTO_TRANSPORTE_ID        INTEGER PRIMARY KEY,
    EMPRESA_ID                 INTEGER REFERENCES EMPRESA (EMPRESA_ID),
    NUM_DOCTO_TRANSPORTE       INTEGER,
    PONTO_OPERACAO_ID          INTEGER REFERENCES PONTO_OPERACAO (PONTO_OPERACAO_ID),
    TAB_TIPO_COBRANCA_ID       INTEGER REFERENCES TAB_TIPO_COBRANCA (TAB_TIPO_COBRANCA_ID),
    CLIENTE_ID                 INTEGER REFERENCES CLIENTE (PESSOA_ID),
    END_DESTINATARIO_ID        INTEGER REFERENCES ENDERECO_PESSOA (ENDERECO_PESSOA_ID),
    END_REMETENTE_ID           INTEGER REFERENCES ENDERECO_PESSOA (ENDERECO_PESSOA_ID),
    ORIGEM_ID                  INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID),
    DESTINO_ID                 INTEGER REFERENCES MUNICIPIO (MUNICIPIO_ID),
    PESO_REAL                  NUMERIC(12,3),
    VAL_DECLARADO              NUMERIC(14,2),
    DATA_EMISSAO               TIMESTAMP,
    PONTO_OPERACAO_DESTINO_ID  INTEGER REFERENCES PONTO_OPERACAO (PONTO_OPERACAO_ID),
    TAB_TIPO_DESPACHO_ID       INTEGER REFERENCES TAB_TIPO_DESPACHO (TAB_TIPO_DESPACHO_ID),
    TAB_SIT_ENTREGA_ID         INTEGER REFERENCES TAB_SIT_ENTREGA (TAB_SIT_ENTREGA_ID),
    NUM_VOLUME                 INTEGER,
    TAB_TIPO_DOCTO_TRANSP_ID   INTEGER REFERENCES TAB_TIPO_DOCTO_TRANSP (TAB_TIPO_DOCTO_TRANSP_ID),
    TAB_STATUS_ID              INTEGER NOT NULL DEFAULT 1 CHECK (TAB_STATUS_ID IN (1, 2))
);
-- A number is issued once per branch among live documents: a deleted
-- document's number may be issued again.
CREATE UNIQUE INDEX UX_DOCTO_TRANSPORTE_NUM
    ON DOCTO_TRANSPORTE (PONTO_OPERACAO_ID, NUM_DOCTO_TRANSPORTE)
    WHERE TAB_STATUS_ID = 1;

-- Invoices (notas fiscais) carried with a document, which they must name.
-- NOTA_FISCAL is the invoice number as printed.
CREATE TABLE NOTA_FISCAL (
    NOTA_FISCAL_ID      INTEGER PRIMARY KEY,
    EMPRESA_ID          INTEGER REFERENCES EMPRESA (EMPRESA_ID),
    DOCTO_TRANSPORTE_ID INTEGER NOT NULL REFERENCES DOCTO_TRANSPORTE (DOCTO_TRANSPORTE_ID),
    NOTA_FISCAL         VARCHAR(20),
    CONTEUDO            VARCHAR(100),
    VAL_DECLARADO       NUMERIC(14,2),
    NUM_VOLUME          INTEGER,
    TAB_STATUS_ID       INTEGER NOT NULL DEFAULT 1 CHECK (TAB_STATUS_ID IN (1, 2))
);
CREATE INDEX IX_NOTA_FISCAL_DOCTO ON NOTA_FISCAL (DOCTO_TRANSPORTE_ID);

-- ---------------------------------------------------------------------------
-- Infrastructure.
-- ---------------------------------------------------------------------------

-- Last identifier issued per table. Exactly one row (the index on a constant
-- refuses a second one).
CREATE TABLE INFRA_IDS (
    DOCTO_TRANSPORTE_ID INTEGER NOT NULL DEFAULT 0,
    NOTA_FISCAL_ID      INTEGER NOT NULL DEFAULT 0,
    LOG_SISTEMA_ID      INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX UX_INFRA_IDS_ONE_ROW ON INFRA_IDS ((1));
INSERT INTO INFRA_IDS (DOCTO_TRANSPORTE_ID, NOTA_FISCAL_ID, LOG_SISTEMA_ID) VALUES (0, 0, 0);

-- Messages the component logs (errors shown to the user).
CREATE TABLE LOG_MSG (
    LOG_MSG_ID          INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    TAB_TIPO_MSG_ID     INTEGER,
    USUARIO_INTERNET_ID INTEGER,
    DATA_LOG            TIMESTAMP,
    MSG01               VARCHAR(255),
    MSG02               VARCHAR(255),
    MSG03               VARCHAR(255),
    MSG04               VARCHAR(255),
    MSG05               VARCHAR(255)
);

-- Audit trail: who did what to which record.
CREATE TABLE LOG_SISTEMA (
    LOG_SISTEMA_ID    INTEGER PRIMARY KEY,
    TABELA_SISTEMA_ID INTEGER,
    TAB_TIPO_ACAO_ID  INTEGER,
    USUARIO_ID        INTEGER,
    REGISTRO_ID       INTEGER,
    DATA_LOG          TIMESTAMP
);

-- The one-row table of the Oracle idiom (SELECT ... FROM DUAL).
CREATE VIEW DUAL AS SELECT 'X'::VARCHAR AS DUMMY;

-- ---------------------------------------------------------------------------
-- Helper functions used by the component's inline SQL.
-- ---------------------------------------------------------------------------

-- The server's local date and time, to the second.
CREATE FUNCTION GETDATE() RETURNS TIMESTAMP
    LANGUAGE SQL STABLE
    AS $$ SELECT LOCALTIMESTAMP(0) $$;

-- Oracle's TO_DATE: text and Oracle mask to a timestamp that keeps the time
-- of day (to_date would drop it).
-- TMX_TO_DATE('2004/03/05 14:30:45', 'YYYY/MM/DD hh24:mi:ss')
-- Parsed in UTC: in the session's zone a wall-clock time that falls in a
-- daylight-saving gap would move (Brazil's DST used to start at midnight,
-- so '2004/11/02' would come back as 01:00).
CREATE FUNCTION TMX_TO_DATE(TEXT, TEXT) RETURNS TIMESTAMP
    LANGUAGE SQL STABLE STRICT
    SET TimeZone TO 'UTC'
    AS $$ SELECT to_timestamp($1, $2) AT TIME ZONE 'UTC' $$;
