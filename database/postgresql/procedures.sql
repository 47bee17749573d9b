-- Procedures for PostgreSQL: each is a set-returning function the component
-- calls as SELECT * FROM name(args). Answer columns are named as the
-- component reads them (it ignores case). CREATE OR REPLACE, so the file can
-- be run again to update them. One block per procedure.

-- ---------------------------------------------------------------------------
-- sp_tmx_con_Data_Servidor
-- The server's current local date and time.
-- Answers one row: data_servidor.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_data_servidor()
    RETURNS TABLE (data_servidor TIMESTAMP)
    LANGUAGE SQL STABLE
AS $$
    SELECT GETDATE()
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_EMPRESA_OP p_ponto_operacao_id
-- The company a branch belongs to.
-- Answers one row (empresa_id), or no row when the branch does not exist.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_empresa_op(p_ponto_operacao_id INTEGER)
    RETURNS TABLE (empresa_id INTEGER)
    LANGUAGE SQL STABLE
AS $$
    SELECT po.empresa_id
      FROM ponto_operacao po
     WHERE po.ponto_operacao_id = p_ponto_operacao_id
$$;
